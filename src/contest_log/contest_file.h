#pragma once

#include "contest_log/log_table.h"
#include "contest_log/record_file.h"
#include "contest_log/station_settings.h"
#include "platform/file_lock.h"

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace vu {

// The text shown when another program has the contest file open for writing.
[[nodiscard]] QString fileInUseText(const QString& path);
// The text shown when a file that is not a contest file would be written into.
[[nodiscard]] QString notAContestFileText(const QString& path);

// The log's operations on the grid and the open contest file. While a file is the current one
// for writing, an advisory lock on it keeps other programs (another copy of the tool, the window
// program) from writing into it at the same time; they are refused with fileInUseText.
class ContestFile {
public:
    ContestFile(LogTable& table, const StationSettings& station);

    // Reading only: the file is opened without the lock and nothing is ever written into it (for
    // the tool's reports, which may run while the window program logs into the file).
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Rebuilds the table from the contest file named by the station settings, its lines and an
    // entry row numbered after them, unscored; leaves the file open and locked. A file another
    // program holds is refused before anything changes.
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

    // Whether row k holds a line of the file (loaded or stored), not a blank one.
    [[nodiscard]] bool isLogged(int k) const { return storedLine(k).has_value(); }
    // Whether row k's cells differ from the record the file holds for it: a correction typed
    // but not validated.
    [[nodiscard]] bool isPending(int k) const;

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
    // The same image of the log as the file holds it: a line showing a correction not validated
    // is written as it was stored (a blank record when it never was), and so is an entry row
    // holding a callsign typed into the grid.
    [[nodiscard]] QByteArray storedImage(const Record* header) const;

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
    RecordFile m_file;
    FileLock m_lock;
    bool m_readOnly = false;
    bool m_isContestFile = true; // what the last load found
};

} // namespace vu
