#include "app/application.h"

#include "platform/backup_volumes.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/version.h"
#include "reports/adif.h"
#include "reports/cabrillo.h"

#include <QDir>
#include <QFileInfo>
#include <exception>
#include <functional>

namespace vu {

namespace {

const TimeSource& timeSourceOf(const ApplicationOptions& options,
                               std::unique_ptr<SystemTimeSource>& owned) {
    if (options.timeSource != nullptr) {
        return *options.timeSource;
    }
    owned = std::make_unique<SystemTimeSource>();
    return *owned;
}

} // namespace

Application::Application(ApplicationOptions options)
    : m_options(std::move(options)), m_programFolder(QDir::cleanPath(m_options.programFolder)),
      m_clock(timeSourceOf(m_options, m_systemTime)), m_contestFile(m_table, m_station, *this),
      m_countries(m_programFolder), m_roster(m_programFolder), m_scorer(m_countries, m_station),
      m_stationForm(m_station, m_table, m_countries, m_roster, m_texts, m_programFolder),
      m_fileNaming(m_station, m_table, m_contestFile, filesFolder()),
      m_settings(m_programFolder,
                 {m_layout, m_station, m_stationForm, m_fileNaming, m_table, m_texts, m_clock}),
      m_entryPanel(m_table, m_contestFile, m_clock, *this),
      m_gridEditing(m_table, m_contestFile, m_clock, *this), m_backups(m_contestFile),
      m_startDate(m_clock.localNow().date().toString(QStringLiteral("dd/MM/yyyy"))) {}

Application::~Application() = default;

void Application::startUp() {
    ignoreFileSizeSignal();
    const RosterDecision roster = m_stationForm.create(programVersion(), m_clock.localNow().date(),
                                                       backupVolumes(mountedVolumes()));
    RosterOutcome outcome = RosterOutcome::KeptOnNo;
    if (roster.rosterMissing) {
        updateRoster();
        outcome = RosterOutcome::UpdatedMissing;
    } else if (m_options.allowNetwork && m_options.askYesNo &&
               m_options.askYesNo(roster.question)) {
        updateRoster();
        outcome = RosterOutcome::UpdatedOnYes;
    }
    m_stationForm.rosterUpdateDone(outcome, m_rosterUpdate.infoText);
    try {
        m_stationForm.buildCountryList(m_options.allowNetwork);
    } catch (const AppError& e) {
        m_startUpErrors << e.message();
    }
    // Cleared after the settings load, which names the contest folder; a load that fails still
    // leaves the folders known.
    const auto clearLeftovers = [this] {
        for (const QString& folder :
             {m_programFolder, filesFolder(), QDir::cleanPath(m_station.contestFolder)}) {
            removeLeftoverTempFiles(folder);
        }
    };
    try {
        m_settings.load();
    } catch (...) {
        clearLeftovers();
        throw;
    }
    clearLeftovers();
}

void Application::setReferenceSources(const ReferenceSources& sources) {
    m_countries.setSources(sources);
    m_roster.setSources(sources);
}

void Application::updateRoster() {
    if (!m_options.allowNetwork) {
        return;
    }
    if (m_waitNotice) {
        m_waitNotice(true);
    }
    // The notice closes also when the update fails with an error.
    try {
        m_rosterUpdate = m_roster.updateRoster();
    } catch (...) {
        if (m_waitNotice) {
            m_waitNotice(false);
        }
        throw;
    }
    if (m_waitNotice) {
        m_waitNotice(false);
    }
}

void Application::acceptStation() {
    (void)m_stationForm.activate(); // its prompt is for the window
    const StationOk ok = m_stationForm.accept();
    if (!ok.accepted) {
        throw AppError(ok.message);
    }
}

void Application::confirmFileNaming() {
    m_fileNaming.confirm(m_clock.localNow());
    activateMain();
    m_clock.setRealTime();
}

void Application::chooseLanguage(int index) {
    m_station.language = index;
    m_settings.loadLanguage();
}

void Application::saveSettings() const {
    m_settings.save(programVersion());
}

void Application::setContestFile(const QString& path) {
    const QFileInfo info(path);
    m_station.contestFolder = info.absolutePath();
    m_station.contestFileName = info.fileName();
}

void Application::activateMain() {
    m_contestFile.load();
    m_clock.setTickEnabled(true);
    m_table.requestEditor();
}

QString Application::memberFirstName(const QString& call) {
    return m_roster.lookUpMember(call).firstName;
}

void Application::computeTotalScore(LogTable& table) {
    m_scorer.computeTotalScore(table);
    m_entryPanel.setDupeVisible(m_scorer.board().dupeShown);
}

void Application::clearHisContinent() {
    m_scorer.clearHisContinent();
}

MemberResult Application::lookUpMember(const QString& call) {
    return m_roster.lookUpMember(call);
}

bool Application::scoreLine(LogTable& table, int row) {
    m_scorer.scoreLine(table, row);
    return m_scorer.board().dupeShown;
}

void Application::openLog(const QString& path) {
    // A file another program writes into is refused before anything changes: the log on screen
    // and its file stay the current ones.
    m_contestFile.checkNotInUse(QFileInfo(path).absoluteFilePath());
    setContestFile(path);
    m_fileNaming.setEditNomFichier(m_station.contestFileName);
    m_fileNaming.setEditChemin(m_station.contestFolder);
    m_fileNaming.setMainFileLabel(m_station.contestFileName.section(u'.', 0, 0));
    saveSettings();
    {
        LogTable::Batch batch(m_table);
        m_table.clearLog();
        m_scorer.resetTotals();
    }
    m_contestFile.load(); // rescores the log it loads
    m_table.requestEditor();
}

ReportStation Application::reportStation() const {
    ReportStation r;
    r.stationCall = m_station.stationCall;
    r.operatorCall = m_station.operatorCall;
    r.clubNumber = m_station.clubNumber;
    r.category = m_station.category;
    r.email = m_station.email;
    r.clubTyped = m_stationForm.editNZRB();
    r.name = m_stationForm.editNom();
    r.acceptedName = m_station.operatorName;
    r.street = m_stationForm.editAD1();
    r.city = m_stationForm.editCity();
    r.zipCode = m_stationForm.editZipCode();
    r.emailTyped = m_stationForm.editEmail();
    r.qrpTicked = m_stationForm.qrpChecked();
    return r;
}

QString Application::writeCabrillo() {
    m_cabrilloPath =
        writeCabrilloFile(m_table, reportStation(), filesFolder(), m_station.contestFileName);
    return m_cabrilloPath;
}

QString Application::writeReports() {
    writeCabrillo();
    writeAdif();
    return QStringLiteral("CABRILLO (*.CBR) + ADIF (*.ADI) ") +
           m_texts.message(MessageText::FichierSauve);
}

QString Application::writeAdif() {
    return writeAdifFile(m_table, reportStation(), m_countries, m_station.contestFolder,
                         m_station.contestFileName);
}

QString Application::mailButtonRefusal() const {
    return ReportMail::refusalToOpen(m_station.email, m_station.smtpServer, m_station.smtpPort);
}

QString Application::activateReportMail() {
    m_clock.setTickEnabled(false);
    writeCabrillo();
    return m_reportMail.compose(
        {m_station.email, m_station.operatorCall, m_cabrilloPath, m_clock.localNow()});
}

SendOutcome Application::sendReportMail() {
    m_clock.setTickEnabled(false);
    SendOutcome outcome = m_reportMail.send(m_stationForm.editSmtp(), m_stationForm.editPort());
    m_clock.setTickEnabled(true);
    return outcome;
}

void Application::clearLog() {
    m_table.clearLog();
    m_contestFile.createCleared(m_clock.localNow());
}

void Application::quit() {
    // A settings file that cannot be written must not cost the quit copy of the log: every step
    // runs, and the first failure is reported.
    EveryStep steps;
    steps.run([this] { saveSettings(); });
    steps.run([this] { m_contestFile.close(); });
    steps.run([this] { m_backups.quitCopy(m_clock.localNow()); });
    steps.finish();
}

QString Application::helpFilePath() const {
    const QString base =
        m_programFolder + (m_station.language == 1 ? QStringLiteral("/VARURAV_UDA_FR")
                                                   : QStringLiteral("/VARURAV_UDA_EN"));
    const QString compiled = base + QStringLiteral(".chm");
    return QFileInfo::exists(compiled) ? compiled : base + QStringLiteral(".html");
}

QString Application::mainCaption() const {
    return QStringLiteral("Duruvero VED UVE, V:%1 (%2)    Station : %3")
        .arg(programVersion(), m_startDate, m_station.stationCall);
}

QString Application::tick() {
    const QDateTime t = m_clock.tick(m_table);
    if (!t.isValid()) {
        return {};
    }
    return m_backups.check(t, m_backupVolume, m_station.contestFileName).errorToShow;
}

} // namespace vu
