#pragma once

#include "app/backups.h"
#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/entry_flow.h"
#include "contest_log/grid_editing.h"
#include "contest_log/log_table.h"
#include "setup/station_settings.h"

#include <QString>
#include <memory>

namespace vu {

struct ApplicationOptions {
    QString programFolder;                  // where settings, reference files and folders live
    const TimeSource* timeSource = nullptr; // the system clock when null
    bool allowNetwork = true;               // false: no roster or country file download
};

// The composition root's object: owns the program's state and runs its start-up in order, so
// that the GUI, the command-line tool and the tests start the program the same way.
class Application : public EntryServices {
public:
    explicit Application(ApplicationOptions options);
    ~Application() override;

    // Start-up work up to the first window: folders, reference data, settings.
    void startUp();
    // The station window's activation and OK, as the operator presses them. Throws AppError with
    // the window's message when OK refuses.
    void acceptStation();
    // Names the contest file (folder and bare name) from a path.
    void setContestFile(const QString& path);
    // The main window's activation: reloads the log from the contest file and rescores it.
    void activateMain();

    [[nodiscard]] const QString& programFolder() const { return m_programFolder; }
    [[nodiscard]] QString filesFolder() const { return m_programFolder + QStringLiteral("/Files"); }
    [[nodiscard]] StationSettings& station() { return m_station; }
    [[nodiscard]] LogTable& table() { return m_table; }
    [[nodiscard]] ContestFile& contestFile() { return m_contestFile; }
    [[nodiscard]] ContestClock& clock() { return m_clock; }
    [[nodiscard]] const QString& scoreLabel() const { return m_scoreLabel; }
    [[nodiscard]] EntryPanel& entryPanel() { return m_entryPanel; }
    [[nodiscard]] GridEditing& gridEditing() { return m_gridEditing; }
    [[nodiscard]] Backups& backups() { return m_backups; }

    // The main window's title: program, version, start date and station callsign.
    [[nodiscard]] QString mainCaption() const;
    // The one-second tick: in real-time mode the clock, then the backup check. Returns the text
    // of a backup failure to show (once until a backup succeeds again), else empty.
    [[nodiscard]] QString tick();
    // The root of the chosen backup volume; empty for none.
    void setBackupVolume(const QString& root) { m_backupVolume = root; }

    // LogServices
    [[nodiscard]] QString memberFirstName(const QString& call) override;
    void computeTotalScore(LogTable& table) override;
    void clearHisContinent() override;
    // EntryServices
    [[nodiscard]] MemberResult lookUpMember(const QString& call) override;
    bool scoreLine(LogTable& table, int row) override;

private:
    ApplicationOptions m_options;
    QString m_programFolder;
    std::unique_ptr<SystemTimeSource> m_systemTime;
    StationSettings m_station;
    LogTable m_table;
    ContestClock m_clock;
    ContestFile m_contestFile;
    QString m_scoreLabel = QStringLiteral("Score = ");
    QString m_hisContinent;
    EntryPanel m_entryPanel;
    GridEditing m_gridEditing;
    Backups m_backups;
    QString m_backupVolume;
    QString m_startDate;
};

} // namespace vu
