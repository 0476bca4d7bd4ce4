#pragma once

#include "app/backups.h"
#include "app/entry_panel.h"
#include "app/grid_editing.h"
#include "app/log_lines.h"
#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"
#include "contest_log/station_settings.h"
#include "reports/cabrillo_check.h"
#include "reports/report_mail.h"
#include "reports/report_station.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "scoring/scoring.h"
#include "setup/languages.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace vu {

// What the session asks of the program around it.
struct SessionHooks {
    // The station values the report writers read, as the settings and the station form hold
    // them now.
    std::function<ReportStation()> reportStation;
    // Another contest file was chosen: the settings and the file naming window learn its folder
    // and name, and the settings file is written.
    std::function<void(const QString& path)> contestFileChosen;
    // Writes the settings file.
    std::function<void()> saveSettings;
};

// The contest being logged: the log table and its contest file, the clock, the scoring, the
// The warnings of referenceWarnings below.
inline constexpr char kNoCountryListText[] =
    "Pas de liste des pays : les points des QSO hors continent sont faux";
inline constexpr char kNoRosterText[] = "Pas de liste des membres : tous les QSO sont comptés NM";

// entry line and the grid's editing, the backups and the report mail; runs the log's commands.
class ContestSession {
public:
    ContestSession(StationSettings& station, CountryTable& countries, MemberRoster& roster,
                   const LanguageTexts& texts, const TimeSource& time, QString filesFolder);

    void setHooks(SessionHooks hooks) { m_hooks = std::move(hooks); }

    [[nodiscard]] LogTable& table() { return m_table; }
    [[nodiscard]] const LogTable& table() const { return m_table; }
    [[nodiscard]] ContestClock& clock() { return m_clock; }
    [[nodiscard]] ContestFile& contestFile() { return m_file; }
    [[nodiscard]] LogLines& lines() { return m_lines; }
    [[nodiscard]] EntryPanel& entryPanel() { return m_entryPanel; }
    [[nodiscard]] GridEditing& gridEditing() { return m_gridEditing; }
    [[nodiscard]] Backups& backups() { return m_backups; }
    [[nodiscard]] ReportMail& reportMail() { return m_reportMail; }
    [[nodiscard]] const QString& scoreLabel() const { return m_scorer.board().label; }
    [[nodiscard]] const ScoreBoard& scoreBoard() const { return m_scorer.board(); }
    [[nodiscard]] const QString& hisContinent() const { return m_scorer.board().hisContinent; }
    [[nodiscard]] const QString& filesFolder() const { return m_filesFolder; }

    // The main window's activation: reloads the log from the contest file and rescores it; the
    // tick runs. The band stays the operator's, unless a contest file was opened or the log
    // cleared since the last load: then the band of the log's last line is taken.
    void loadLog();
    // A contest file was named or created (the file naming window): the next load takes the band
    // of its last line.
    void contestFileOpened() { m_takeLastBand = true; }
    // Opens another contest file: the settings learn it at once, the log is loaded from it. A file
    // another program holds is refused first, and the current one stays.
    void openLog(const QString& path);
    // Whether the log holds lines (then a new log asks before clearing them).
    [[nodiscard]] bool hasLogLines() const { return m_table.rowCount() > 2; }
    // Clears the log: the grid and the contest file, which keeps only its header.
    void clearLog();
    // "Quitter": settings saved, contest file closed, quit copy written. Every step runs; the
    // first failure is raised, and the program then keeps running.
    void quit();

    // Whether a line of the log shows a correction that was not validated.
    [[nodiscard]] bool hasPendingCorrections() const;
    // The question asked when a report is wanted while a correction is pending.
    [[nodiscard]] static QString pendingCorrectionQuestion();
    // Before a report: validates the pending corrections (as Enter does) or drops them; either
    // way the log shows again what the contest file holds, which the reports are written from.
    void settleCorrections(bool validate);

    // "Creation Cabrillo": writes the Cabrillo file into the Files folder; returns its path. A
    // report never replaces the open contest file: that is refused (AppError naming it).
    QString writeCabrillo();
    // "Création ADIF": writes the ADIF file beside the contest file; returns its path.
    QString writeAdif();
    // The report button: the Cabrillo file, then the ADIF file; returns the message to show.
    [[nodiscard]] QString writeReports();
    // The Cabrillo file written last (the report mail's attachment); empty before.
    [[nodiscard]] const QString& cabrilloPath() const { return m_cabrilloPath; }
    // The check of the Cabrillo file written last (what the report mail and the report button
    // show); empty before.
    [[nodiscard]] const CabrilloCheck& reportCheck() const { return m_reportCheck; }
    // Checks the Cabrillo report of the log as it is now, without writing it.
    [[nodiscard]] CabrilloCheck checkReport() const;
    // What the operator must know of the reference data: one text each for a country table and
    // a roster that are missing or empty (the scores are then wrong); empty when both hold data.
    [[nodiscard]] QStringList referenceWarnings();
    // The mail button: the refusal to show; empty when the report mailing window opens.
    [[nodiscard]] QString mailButtonRefusal() const;
    // The report mailing window's activation: stops the tick, writes the Cabrillo file anew and
    // composes the message. Returns the message box to show, empty when none.
    [[nodiscard]] QString activateReportMail();
    // "Envoi de l'email": sends through this SMTP server and port, then starts the tick again.
    [[nodiscard]] SendOutcome sendReportMail(const QString& smtpServer, const QString& port);
    // The same send on a worker thread: the clock and the backups go on meanwhile. `done` is
    // called on that thread; cancelReportMail ends the send at once.
    void startReportMail(const QString& smtpServer, const QString& port,
                         std::function<void(const SendOutcome&)> done);
    void cancelReportMail() { m_reportMail.cancelSend(); }
    // The committee address and time-outs of the report send; the program's own unless set.
    void setReportMailOptions(const ReportMailOptions& options) {
        m_reportMail.setOptions(options);
    }

    // The main window's title: program, version, start date and station callsign.
    [[nodiscard]] QString mainCaption() const;
    // The one-second tick: in real-time mode the clock, then the backup check. Returns the text
    // of a backup failure to show (once until a backup succeeds again), else empty.
    [[nodiscard]] QString tick();
    // The root of the chosen backup volume; empty for none.
    void setBackupVolume(const QString& root) { m_backupVolume = root; }

private:
    [[nodiscard]] ReportStation reportStation() const;
    // Refuses a report whose path is the open contest file.
    void checkNotContestFile(const QString& reportPath) const;

    StationSettings& m_station;
    CountryTable& m_countries;
    MemberRoster& m_roster;
    const LanguageTexts& m_texts;
    QString m_filesFolder;
    SessionHooks m_hooks;
    LogTable m_table;
    ContestClock m_clock;
    ContestFile m_file;
    Scorer m_scorer;
    LogLines m_lines;
    EntryPanel m_entryPanel;
    GridEditing m_gridEditing;
    Backups m_backups;
    ReportMail m_reportMail;
    QString m_cabrilloPath;
    CabrilloCheck m_reportCheck;
    QString m_backupVolume;
    QDate m_startDate;
    bool m_takeLastBand = true; // the first load of a run takes the band of the last line
};

} // namespace vu
