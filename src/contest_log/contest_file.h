#pragma once

#include "contest_log/bands.h"
#include "contest_log/log_table.h"
#include "contest_log/record_file.h"
#include "contest_log/station_settings.h"
#include "platform/file_lock.h"

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace vu {

// What loading and storing the log needs from the reference data and the scoring.
class LogServices {
public:
    virtual ~LogServices() = default;
    // First name of the member with this callsign; empty for a non-member.
    [[nodiscard]] virtual QString memberFirstName(const QString& call) = 0;
    // Rescores every row of the table (columns 10 to 12) and updates the totals.
    virtual void computeTotalScore(LogTable& table) = 0;
    // Empties the worked station's continent shown beside the score.
    virtual void clearHisContinent() = 0;
};

// The text shown when another program has the contest file open for writing.
[[nodiscard]] QString fileInUseText(const QString& path);
// The text shown when a file that is not a contest file would be written into.
[[nodiscard]] QString notAContestFileText(const QString& path);

// The log's operations on the grid and the open contest file. While a file is the current one
// for writing, an advisory lock on it keeps other programs (another copy of the tool, the window
// program) from writing into it at the same time; they are refused with fileInUseText.
class ContestFile {
public:
    ContestFile(LogTable& table, const StationSettings& station, LogServices& services);

    // Reading only: the file is opened without the lock and nothing is ever written into it (for
    // the tool's reports, which may run while the window program logs into the file).
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Rebuilds the table from the contest file named by the station settings; leaves it open and
    // locked. A file another program holds is refused before anything changes.
    void load();
    // Throws AppError when another program holds the file at `path` (unless it is this one's).
    void checkNotInUse(const QString& path) const;
    // Writes row k into record k (nothing when its callsign is empty, or its date or time while
    // the row was not stored before), durably.
    void storeRow(int k);
    // Closes the file and releases its lock.
    void close();
    // Opens the contest file named by the station settings again.
    void reopen();
    // Keeps the file as it is now under ".BAK" and writes a fresh file from the table. When the
    // copy cannot be made, nothing is changed and the error is raised. A row whose cells still
    // read as the record it was loaded from is written back byte for byte.
    void rewrite(const QDateTime& localNow);
    // Creates a new contest file at the settings' path holding the header and either the rows
    // on screen or, for an empty log, the placeholder record; leaves it open.
    void createNew(const QDateTime& localNow);
    // Clears the log: a new file holding the header as record 0 and again as record 1.
    void createCleared(const QDateTime& localNow);

    // Writes k into column 0 of row k and asks for the grid editor.
    void numberRow(int k);
    // Writes 1, 2, ... into column 0 of rows 1 to the entry row.
    void renumberRows();

    // Band selector: column 0 to 4 ("80" to "10"); also writes the entry row's band.
    void selectBand(int column);
    [[nodiscard]] int bandIndex() const { return m_bandIndex; }
    [[nodiscard]] QString currentBand() const { return bandTexts().at(m_bandIndex); }

    [[nodiscard]] bool isOpen() const { return m_file.isOpen(); }
    [[nodiscard]] QString path() const { return m_station.contestFilePath(); }
    // Name of the ".BAK" copy: the contest file name with its extension replaced.
    [[nodiscard]] static QString backupName(const QString& fileName);

    // The header record of a file stamped now.
    [[nodiscard]] Record headerRecord(const QDateTime& localNow) const;
    // The line record of a row; throws ConvertError on an unreadable date or time. Rows with
    // an empty date and time give zero values (blank records).
    [[nodiscard]] Record rowRecord(int row) const;
    // The bytes row k is written as: its stored record when its cells still show that record,
    // else rowRecord (throws ConvertError).
    [[nodiscard]] QByteArray rowBytes(int row) const;
    // Records 0..rowCount-1: the given header (or zeros) then every row as rowBytes gives it.
    [[nodiscard]] QByteArray tableImage(const Record* header) const;

private:
    [[nodiscard]] bool rowIsStorable(int k) const;
    // The line record row k was loaded from or last stored as; nothing for a blank one.
    [[nodiscard]] std::optional<Record> storedLine(int k) const;
    // Before a write: refuses a file that is not a contest file, or one another program holds.
    void checkWritable();
    // Writes `image` as the whole contest file, keeping it locked across the replacement.
    void replaceWith(const QByteArray& image);

    LogTable& m_table;
    const StationSettings& m_station;
    LogServices& m_services;
    RecordFile m_file;
    FileLock m_lock;
    bool m_readOnly = false;
    bool m_isContestFile = true; // what the last load found
    int m_bandIndex = 1;
};

} // namespace vu
