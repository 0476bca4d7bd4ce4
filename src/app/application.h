#pragma once

#include "app/backups.h"
#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/entry_flow.h"
#include "contest_log/grid_editing.h"
#include "contest_log/log_table.h"
#include "contest_log/station_settings.h"
#include "reports/report_mail.h"
#include "reports/report_station.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "scoring/reference_sources.h"
#include "scoring/scoring.h"
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
};

// The composition root's object: owns the program's state and runs its start-up in order, so
// that the GUI, the command-line tool and the tests start the program the same way.
class Application : public EntryServices {
public:
    explicit Application(ApplicationOptions options);
    ~Application() override;

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
    // The file naming window's OK: creates the contest file when needed, shows the main window
    // and starts real-time mode.
    void confirmFileNaming();
    // A language menu item: sets the language index and loads that language at once.
    void chooseLanguage(int index);
    // Writes the settings file (on quitting and after opening a log).
    void saveSettings() const;
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
    [[nodiscard]] LanguageTexts& texts() { return m_texts; }
    [[nodiscard]] ScreenLayout& layout() { return m_layout; }
    [[nodiscard]] StationForm& stationForm() { return m_stationForm; }
    [[nodiscard]] FileNamingForm& fileNaming() { return m_fileNaming; }
    [[nodiscard]] const SettingsFile& settingsFile() const { return m_settings; }
    [[nodiscard]] Scorer& scorer() { return m_scorer; }
    [[nodiscard]] const QString& scoreLabel() const { return m_scorer.board().label; }
    [[nodiscard]] const QString& hisContinent() const { return m_scorer.board().hisContinent; }
    // How the roster update of start-up ended, with its texts; Failed with no text when none ran.
    [[nodiscard]] const RosterUpdate& rosterUpdate() const { return m_rosterUpdate; }
    // Texts of the errors met by startUp, for the first window to show.
    [[nodiscard]] const QStringList& startUpErrors() const { return m_startUpErrors; }
    [[nodiscard]] EntryPanel& entryPanel() { return m_entryPanel; }
    [[nodiscard]] GridEditing& gridEditing() { return m_gridEditing; }
    [[nodiscard]] Backups& backups() { return m_backups; }

    // Main window commands.
    // Opens another contest file: the settings learn it at once, the log is loaded from it. A file
    // another program holds is refused first, and the current one stays.
    void openLog(const QString& path);
    // Whether the log holds lines (then a new log asks before clearing them).
    [[nodiscard]] bool hasLogLines() const { return m_table.rowCount() > 2; }
    // Clears the log: the grid and the contest file, which keeps only its header.
    void clearLog();
    // "Quitter": settings saved, contest file closed, quit copy written. Throws when one of them
    // fails; the program then keeps running.
    void quit();
    // The user guide of the current language (French for index 1, English otherwise): its
    // compiled-help file in the program folder when there is one, its HTML guide otherwise.
    [[nodiscard]] QString helpFilePath() const;

    // Reports.
    // The station values the report writers read, as the settings and the station form hold
    // them now.
    [[nodiscard]] ReportStation reportStation() const;
    // "Creation Cabrillo": writes the Cabrillo file into the Files folder; returns its path.
    QString writeCabrillo();
    // "Création ADIF": writes the ADIF file beside the contest file; returns its path.
    QString writeAdif();
    // The report button: the Cabrillo file, then the ADIF file; returns the message to show.
    [[nodiscard]] QString writeReports();
    // The Cabrillo file written last (the report mail's attachment); empty before.
    [[nodiscard]] const QString& cabrilloPath() const { return m_cabrilloPath; }
    // The mail button: the refusal to show; empty when the report mailing window opens.
    [[nodiscard]] QString mailButtonRefusal() const;
    // The report mailing window's activation: stops the tick, writes the Cabrillo file anew and
    // composes the message. Returns the message box to show, empty when none.
    [[nodiscard]] QString activateReportMail();
    // "Envoi de l'email": sends to the station form's SMTP server and port, then starts the tick
    // again.
    [[nodiscard]] SendOutcome sendReportMail();
    [[nodiscard]] ReportMail& reportMail() { return m_reportMail; }
    // The committee address and time-outs of the report send; the program's own unless set.
    void setReportMailOptions(const ReportMailOptions& options) {
        m_reportMail = ReportMail(options);
    }

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
    // Fetches the member roster (behind the window's wait notice).
    void updateRoster();
    std::function<void(bool shown)> m_waitNotice;

    ApplicationOptions m_options;
    QString m_programFolder;
    std::unique_ptr<SystemTimeSource> m_systemTime;
    StationSettings m_station;
    LogTable m_table;
    ContestClock m_clock;
    ContestFile m_contestFile;
    CountryTable m_countries;
    MemberRoster m_roster;
    Scorer m_scorer;
    RosterUpdate m_rosterUpdate;
    QStringList m_startUpErrors;
    LanguageTexts m_texts;
    ScreenLayout m_layout;
    StationForm m_stationForm;
    FileNamingForm m_fileNaming;
    SettingsFile m_settings;
    EntryPanel m_entryPanel;
    GridEditing m_gridEditing;
    Backups m_backups;
    ReportMail m_reportMail;
    QString m_cabrilloPath;
    QString m_backupVolume;
    QString m_startDate;
};

} // namespace vu
