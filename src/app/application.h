#pragma once

#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "scoring/reference_sources.h"
#include "scoring/scoring.h"
#include "setup/station_settings.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace vu {

struct ApplicationOptions {
    QString programFolder;                  // where settings, reference files and folders live
    const TimeSource* timeSource = nullptr; // the system clock when null
    bool allowNetwork = true;               // false: no roster or country file download
};

// The composition root's object: owns the program's state and runs its start-up in order, so
// that the GUI, the command-line tool and the tests start the program the same way.
class Application : public LogServices {
public:
    explicit Application(ApplicationOptions options);
    ~Application() override;

    // Start-up work up to the first window: folders, reference data, settings. A file error of
    // the country list build does not stop it: its text waits in startUpErrors().
    void startUp();
    // Where the country file and the roster are fetched from; the program's servers unless set
    // (before startUp) to others.
    void setReferenceSources(const ReferenceSources& sources);
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
    [[nodiscard]] CountryTable& countries() { return m_countries; }
    [[nodiscard]] MemberRoster& roster() { return m_roster; }
    [[nodiscard]] Scorer& scorer() { return m_scorer; }
    [[nodiscard]] const QString& scoreLabel() const { return m_scorer.board().label; }
    // Texts of the errors met by startUp, for the first window to show.
    [[nodiscard]] const QStringList& startUpErrors() const { return m_startUpErrors; }

    // LogServices
    [[nodiscard]] QString memberFirstName(const QString& call) override;
    void computeTotalScore(LogTable& table) override;
    void clearHisContinent() override;

private:
    ApplicationOptions m_options;
    QString m_programFolder;
    std::unique_ptr<SystemTimeSource> m_systemTime;
    StationSettings m_station;
    LogTable m_table;
    ContestClock m_clock;
    CountryTable m_countries;
    MemberRoster m_roster;
    Scorer m_scorer;
    ContestFile m_contestFile;
    QStringList m_startUpErrors;
};

} // namespace vu
