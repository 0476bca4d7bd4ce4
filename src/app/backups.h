#pragma once

#include "contest_log/contest_file.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace vu {

// The copies of the log besides the contest file: a rotating backup to the chosen volume once a
// minute of real-time mode, and the quit copy beside the contest file.
class Backups {
public:
    explicit Backups(const ContestFile& contestFile);

    // What one backup check did.
    struct CheckResult {
        bool backedUp = false;
        // The error of a failed backup, to show the operator; empty when nothing is to be shown
        // (success, no backup due, or a failure already shown since the last success).
        QString errorToShow;
    };

    // Runs on each real-time tick with its UTC time `t`: once a minute, a rotating backup to
    // `volumeRoot` (none when empty) under the contest file name.
    CheckResult check(const QDateTime& t, const QString& volumeRoot,
                      const QString& contestFileName);
    [[nodiscard]] const QDateTime& nextBackupTime() const { return m_next; }
    // Whether the last rotating backup failed (the main window says so until one succeeds).
    [[nodiscard]] bool failing() const { return m_errorShown; }

    // The name the next rotating backup of `contestFileName` takes on the volume: "_01.sav" to
    // "_10.sav" in turn after the newest numbered one there.
    [[nodiscard]] static QString nextBackupName(const QString& volumeRoot,
                                                const QString& contestFileName);
    // The backup name that follows number `number` (0 to 10): "_01.sav" after 0 and after 10.
    [[nodiscard]] static QString backupNameAfter(const QString& contestFileName, int number);
    // Writes the whole log (record 0 zeros, then every row) to the volume's next backup name,
    // complete or not at all. Returns the path written. Throws IoError or ConvertError.
    QString rotatingBackup(const QString& volumeRoot, const QString& contestFileName);
    // Writes the quit copy: contest file path + "_Mem", a header stamped `localNow`, then every
    // row. Complete or not at all. Throws IoError or ConvertError.
    void quitCopy(const QDateTime& localNow);

private:
    const ContestFile& m_contestFile;
    QDateTime m_next; // invalid until the first backup check: the first real-time tick backs up
    bool m_errorShown = false;
    // The rotating backup this run wrote last.
    struct LastBackup {
        QString volumeRoot;
        QString contestFileName;
        int number = 0;
    } m_last;
};

} // namespace vu
