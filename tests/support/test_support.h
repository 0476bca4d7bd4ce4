#pragma once

#include "app/application.h"
#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace vu::test {

// Path of a file of tests/fixtures.
[[nodiscard]] QString fixture(const QString& name);
[[nodiscard]] QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// The same text with LF line ends instead of CR LF.
[[nodiscard]] QByteArray withLf(QByteArray crlf);
// Bytes of every value, the same for the same seed.
[[nodiscard]] QByteArray randomBytes(qsizetype size, quint32 seed);

// Creates a program folder holding a settings file of these lines and an SMTP list that knows
// the provider "orange" (smtp.orange.fr, port 25).
void layProgramFolder(const QString& programFolder, const QStringList& settings);
// Lays out a program folder as installed: the language files, the SMTP list, the real country
// file and the sample roster.
void layShippedProgramFolder(const QString& folder);
// Every record of a log file, as stored, the header first.
[[nodiscard]] std::vector<Record> fileRecords(const QString& path);
// The line records of a log file, as stored (record 0, the header, left out).
[[nodiscard]] std::vector<Record> lineRecords(const QString& path);
// The callsigns of the records of a log file (record 0, the header, left out).
[[nodiscard]] QStringList recordCalls(const QString& path);
// Puts the real country file and a roster holding D4ERI (member 123) into a program folder.
void layReferenceData(const QString& programFolder);

// A run of the program on `programFolder`, started up to its first window, without the network
// and with the clock `time`.
[[nodiscard]] std::unique_ptr<Application> startOffline(const QString& programFolder,
                                                        const TimeSource& time);

// Runs the event loop until `done` holds; false when it still does not after `ms`.
[[nodiscard]] bool waitFor(const std::function<bool()>& done, int ms = 10000);

// A time source that always answers the same instant.
class FixedTime : public TimeSource {
public:
    explicit FixedTime(QDateTime value = {}) : m_value(std::move(value)) {}
    [[nodiscard]] QDateTime now() const override { return m_value; }
    void set(QDateTime value) { m_value = std::move(value); }

private:
    QDateTime m_value;
};

// While it lives, the process runs with the effective user "nobody" when it was root, so that
// file permissions apply in tests run as root.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser();
    ~AsUnprivilegedUser();
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool m_switched = false;
};

// While it lives, writes beyond `bytes` from a file's start fail with EFBIG, as on a full volume.
class FileSizeLimit {
public:
    explicit FileSizeLimit(quint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    quint64 m_savedCurrent = 0;
    quint64 m_savedMax = 0;
    void (*m_handler)(int) = nullptr;
};

// A log table holding these log lines (each the texts of columns 0, 1, ...) between the title
// row and an empty entry row.
[[nodiscard]] LogTable logTableOf(const std::vector<QStringList>& lines);

// A line record as the log writes it.
[[nodiscard]] Record lineRecord(const QString& call, const QString& band, QDate date, QTime time,
                                const QString& member = QStringLiteral("NM"),
                                const QString& category = QStringLiteral("QRP"));

} // namespace vu::test
