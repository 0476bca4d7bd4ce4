#pragma once

#include <QByteArray>
#include <QString>

namespace vu {

constexpr int kRecordSize = 88;

// One 88-byte record of a contest file, decoded. Texts are held as read or as to be written;
// the encoder cuts each to its field's capacity.
struct Record {
    QString operatorCall; // 10
    QString stationCall;  // 15
    double date = 0.0;    // whole days since 1899-12-30
    double time = 0.0;    // fraction of a day
    QString band;         // 4
    QString call;         // 15; empty marks a blank record
    QString rstSent;      // 3
    QString rstRcvd;      // 3
    QString member;       // 4
    QString category;     // 4

    [[nodiscard]] bool isBlank() const { return call.isEmpty(); }
    bool operator==(const Record&) const = default;
};

// Byte offsets and capacities of the record layout.
struct RecordField {
    int lengthOffset;
    int capacity;
};
namespace RecordLayout {
constexpr RecordField Operator{0, 10};
constexpr RecordField Station{11, 15};
constexpr int DateOffset = 32;
constexpr int TimeOffset = 40;
constexpr RecordField Band{48, 4};
constexpr RecordField Call{53, 15};
constexpr RecordField RstSent{69, 3};
constexpr RecordField RstRcvd{73, 3};
constexpr RecordField Member{77, 4};
constexpr RecordField Category{82, 4};
} // namespace RecordLayout

// Encodes a record into its 88 bytes (little-endian doubles, Windows-1252 short strings, unused
// bytes zero).
[[nodiscard]] QByteArray encodeRecord(const Record& record);
// Decodes 88 bytes. A length byte beyond its field's capacity reads as the capacity, and a value
// ends at its first zero byte.
[[nodiscard]] Record decodeRecord(const char* bytes);

// Whether a file's bytes look like a contest file that may be written into: whole records and a
// header record whose lengths fit their fields and whose date and time are numbers. An empty file
// passes.
[[nodiscard]] bool isContestFileImage(const QByteArray& data);

// A contest file opened for reading and writing records of 88 bytes. Every failure throws IoError.
class RecordFile {
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens an existing file for reading and writing, or for reading only.
    void open(const QString& path, bool writable = true);
    // Creates the file (empty, replacing any file of that name) and opens it.
    void create(const QString& path);
    void close();
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    [[nodiscard]] const QString& path() const { return m_path; }

    // Size of the file in bytes.
    [[nodiscard]] qint64 size() const;
    // Number of whole records; a trailing partial record is not counted.
    [[nodiscard]] qint64 recordCount() const;
    // Reads every whole record at once.
    [[nodiscard]] QByteArray readAll() const;
    [[nodiscard]] Record read(qint64 index) const;
    // Writes record `index` (extending the file when it lies beyond the end) and makes it durable
    // before returning. A write that fails leaves the file at the size it had.
    void write(qint64 index, const Record& record);

private:
    int m_fd = -1;
    QString m_path;
};

} // namespace vu
