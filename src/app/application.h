#pragma once

#include "app/contest_session.h"
#include "app/radio.h"
#include "contest_log/station_settings.h"
#include "reports/report_station.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "scoring/reference_sources.h"
#include "setup/file_naming.h"
#include "setup/languages.h"
#include "setup/settings.h"
#include "setup/station_form.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vu {

struct ApplicationOptions {
    QString programFolder;                  // where settings, reference files and folders live
    const TimeSource* timeSource = nullptr; // the system clock when null
    bool allowNetwork = true;               // false: no roster or country file download
    // Asks a Yes/No question at start-up (the roster update); null answers No.
    std::function<bool(const QString& question)> askYesNo;
    // The country file shipped with the program (used when the program folder has none and
    // none can be fetched); empty: the one beside the program or in its share/ folder.
    QString shippedCountryFile{};
};

// The composition root's object: owns the program's parts and runs its start-up in order, so
// that the GUI, the command-line tool and the tests start the program the same way. The log's
// commands are the contest session's.
class Application {
public:
    explicit Application(ApplicationOptions options);
    ~Application();

    // Shown (true) while the roster is fetched at start-up, then hidden (false); set before
    // startUp.
    void setWaitNotice(std::function<void(bool shown)> notice) { m_waitNotice = std::move(notice); }
    // Start-up work up to the first window: the station window's creation (folders, backup
    // volumes, roster, country list), then the settings file and the language. A file error of
    // the country list build does not stop it: its text waits in startUpErrors(). Temporary
    // files a killed run left in the program, Files and contest folders are removed.
    void startUp();
    // Where the country file and the roster are fetched from; the program's servers unless set
    // (before startUp) to others.
    void setReferenceSources(const ReferenceSources& sources);
    // The station window's activation and OK, as the operator presses them. Throws AppError with
    // the window's message when OK refuses.
    void acceptStation();
    // The station window's activation: while a contest file is open, what the window shows is
    // kept for "Annuler". Returns the prompt to show (empty for none).
    [[nodiscard]] QString activateStation();
    // "Annuler" of the station window: with a contest open, the window's changes are discarded
    // (true: back to the main window); at the first start nothing is open (false: the program
    // ends).
    bool cancelStation();
    // The file naming window's OK: creates the contest file when needed, shows the main window
    // and starts real-time mode.
    void confirmFileNaming();
    // A language menu item: sets the language index and loads that language at once.
    void chooseLanguage(int index);
    // Writes the settings file (on quitting and after opening a log), with the window placements
    // the layout source gives.
    void saveSettings();
    // Where the windows' places and sizes are taken from before each save; none keeps the layout
    // as loaded.
    void setLayoutSource(std::function<void(ScreenLayout&)> source) {
        m_layoutSource = std::move(source);
    }
    // Names the contest file (folder and bare name) from a path.
    void setContestFile(const QString& path);
    // The main window's activation: reloads the log from the contest file and rescores it.
    void activateMain() { m_session.loadLog(); }

    [[nodiscard]] QString filesFolder() const { return m_programFolder + QStringLiteral("/Files"); }
    [[nodiscard]] StationSettings& station() { return m_station; }
    [[nodiscard]] ContestSession& session() { return m_session; }
    [[nodiscard]] CountryTable& countries() { return m_countries; }
    [[nodiscard]] MemberRoster& roster() { return m_roster; }
    [[nodiscard]] LanguageTexts& texts() { return m_texts; }
    [[nodiscard]] ScreenLayout& layout() { return m_layout; }
    [[nodiscard]] StationForm& stationForm() { return m_stationForm; }
    [[nodiscard]] FileNamingForm& fileNaming() { return m_fileNaming; }
    // How the roster update of start-up ended, with its texts; Failed with no text when none ran.
    [[nodiscard]] const RosterUpdate& rosterUpdate() const { return m_rosterUpdate; }
    // Texts of the errors met by startUp, for the first window to show.
    [[nodiscard]] const QStringList& startUpErrors() const { return m_startUpErrors; }

    // The transceiver: its settings, read at start-up, and its worker, started by the windows.
    [[nodiscard]] RadioSetup& radio() { return m_radio; }

private:
    // The station values the report writers read, as the settings and the station form hold
    // them now.
    [[nodiscard]] ReportStation reportStation() const;
    // Fetches the member roster (behind the window's wait notice).
    void updateRoster();
    std::function<void(bool shown)> m_waitNotice;
    std::function<void(ScreenLayout&)> m_layoutSource;

    ApplicationOptions m_options;
    QString m_programFolder;
    std::unique_ptr<SystemTimeSource> m_systemTime;
    StationSettings m_station;
    CountryTable m_countries;
    MemberRoster m_roster;
    LanguageTexts m_texts;
    ContestSession m_session;
    RosterUpdate m_rosterUpdate;
    QStringList m_startUpErrors;
    ScreenLayout m_layout;
    StationForm m_stationForm;
    FileNamingForm m_fileNaming;
    SettingsFile m_settings;
    RadioSetup m_radio; // last: its worker stops first
};

} // namespace vu
