#include "app/contest_session.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/version.h"
#include "reports/adif.h"
#include "reports/cabrillo.h"
#include "setup/file_naming.h"

#include <QFileInfo>

namespace vu {

ContestSession::ContestSession(StationSettings& station, CountryTable& countries,
                               MemberRoster& roster, const LanguageTexts& texts,
                               const TimeSource& time, QString filesFolder)
    : m_station(station), m_countries(countries), m_roster(roster), m_texts(texts),
      m_filesFolder(std::move(filesFolder)), m_clock(time), m_file(m_table, station),
      m_scorer(countries, station), m_lines(m_table, m_file, m_clock, roster, m_scorer),
      m_entryPanel(m_table, m_clock, m_lines), m_gridEditing(m_table, m_file, m_clock, m_lines),
      m_backups(m_file), m_startDate(m_clock.localNow().date()) {}

void ContestSession::loadLog() {
    m_lines.load(m_takeLastBand);
    m_takeLastBand = false;
    m_clock.setTickEnabled(true);
}

void ContestSession::openLog(const QString& path) {
    // A file another program writes into is refused before anything changes: the log on screen
    // and its file stay the current ones.
    FileNamingForm::checkContestFileExtension(path);
    m_file.checkNotInUse(QFileInfo(path).absoluteFilePath());
    if (m_hooks.contestFileChosen) {
        m_hooks.contestFileChosen(path);
    }
    {
        LogTable::Batch batch(m_table);
        m_table.clearLog();
        m_scorer.resetTotals();
    }
    m_lines.load(true);
    m_takeLastBand = false;
}

void ContestSession::clearLog() {
    m_takeLastBand = true;
    m_table.clearLog();
    m_file.createCleared(m_clock.localNow());
}

void ContestSession::quit() {
    // A settings file that cannot be written must not cost the quit copy of the log: every step
    // runs, and the first failure is reported.
    EveryStep steps;
    if (m_hooks.saveSettings) {
        steps.run(m_hooks.saveSettings);
    }
    steps.run([this] { m_file.close(); });
    steps.run([this] { m_backups.quitCopy(m_clock.localNow()); });
    steps.finish();
}

bool ContestSession::hasPendingCorrections() const {
    for (int k = 1; k < m_table.entryRow(); ++k) {
        if (m_file.isPending(k)) {
            return true;
        }
    }
    return false;
}

QString ContestSession::pendingCorrectionQuestion() {
    return QStringLiteral("Valider la correction en cours ?");
}

void ContestSession::settleCorrections(bool validate) {
    if (validate) {
        for (int k = 1; k < m_table.entryRow(); ++k) {
            if (m_file.isPending(k)) {
                m_gridEditing.validateRow(k);
            }
        }
    }
    // What could not be validated (a line whose callsign was erased) is dropped.
    if (hasPendingCorrections()) {
        m_lines.load(false);
    }
}

ReportStation ContestSession::reportStation() const {
    return m_hooks.reportStation ? m_hooks.reportStation() : ReportStation{};
}

void ContestSession::checkNotContestFile(const QString& reportPath) const {
    if (isSameFile(reportPath, m_file.path())) {
        throw AppError(QStringLiteral("Le compte rendu %1 écraserait le fichier de concours "
                                      "ouvert : il n'a pas été écrit")
                           .arg(reportPath));
    }
}

QString ContestSession::writeCabrillo() {
    checkNotContestFile(m_filesFolder + QLatin1Char('/') +
                        cabrilloFileName(m_station.contestFileName));
    const ReportStation station = reportStation();
    m_cabrilloPath = writeCabrilloFile(m_table, station, m_filesFolder, m_station.contestFileName);
    m_reportCheck = checkCabrillo(m_table, station, programVersion());
    return m_cabrilloPath;
}

CabrilloCheck ContestSession::checkReport() const {
    return checkCabrillo(m_table, reportStation(), programVersion());
}

QString ContestSession::writeAdif() {
    checkNotContestFile(m_station.contestFolder + QLatin1Char('/') +
                        adifFileName(m_station.contestFileName));
    return writeAdifFile(m_table, reportStation(), m_countries, m_station.contestFolder,
                         m_station.contestFileName);
}

QString ContestSession::writeReports() {
    writeCabrillo();
    writeAdif();
    return QStringLiteral("CABRILLO (*.CBR) + ADIF (*.ADI) ") +
           m_texts.message(MessageText::FichierSauve);
}

QStringList ContestSession::referenceWarnings() {
    QStringList warnings;
    const auto empty = [](const auto& size) {
        try {
            return size() == 0;
        } catch (const AppError&) {
            return true; // unreadable: as good as missing
        }
    };
    if (empty([this] { return m_countries.index().lineCount(); })) {
        warnings << QString::fromUtf8(kNoCountryListText);
    }
    if (empty([this] { return m_roster.index().size(); })) {
        warnings << QString::fromUtf8(kNoRosterText);
    }
    return warnings;
}

QString ContestSession::mailButtonRefusal() const {
    return ReportMail::refusalToOpen(m_station.email, m_station.smtpServer, m_station.smtpPort);
}

QString ContestSession::activateReportMail() {
    m_clock.setTickEnabled(false);
    writeCabrillo();
    return m_reportMail.compose(
        {m_station.email, m_station.operatorCall, m_cabrilloPath, m_clock.localNow()});
}

SendOutcome ContestSession::sendReportMail(const QString& smtpServer, const QString& port) {
    m_clock.setTickEnabled(false);
    SendOutcome outcome = m_reportMail.send(smtpServer, port);
    m_clock.setTickEnabled(true);
    return outcome;
}

void ContestSession::startReportMail(const QString& smtpServer, const QString& port,
                                     std::function<void(const SendOutcome&)> done) {
    // The tick goes on: a send that takes its time must not stop the clock or the backups.
    m_clock.setTickEnabled(true);
    m_reportMail.sendInBackground(smtpServer, port, std::move(done));
}

QString ContestSession::mainCaption() const {
    return programCaption(programVersion(), m_startDate) + QStringLiteral("    Station : ") +
           m_station.stationCall;
}

QString ContestSession::tick() {
    const QDateTime t = m_clock.tick(m_table);
    if (!t.isValid()) {
        return {};
    }
    return m_backups.check(t, m_backupVolume, m_station.contestFileName).errorToShow;
}

} // namespace vu
