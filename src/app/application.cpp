#include "app/application.h"

#include "platform/backup_volumes.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/program_folder.h"
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
      m_countries(m_programFolder), m_roster(m_programFolder),
      m_session(m_station, m_countries, m_roster, m_texts, timeSourceOf(m_options, m_systemTime),
                filesFolder()),
      m_stationForm(m_station, m_session.table(), m_countries, m_roster, m_texts, m_programFolder),
      m_fileNaming(m_station, m_session.table(), m_session.contestFile(), filesFolder()),
      m_settings(m_programFolder, {m_layout, m_station, m_stationForm, m_fileNaming,
                                   m_session.table(), m_texts, m_session.clock()}),
      m_radio(m_station, m_settings.path()) {
    m_session.setHooks({[this] { return reportStation(); },
                        [this](const QString& path) {
                            setContestFile(path);
                            m_fileNaming.setEditNomFichier(m_station.contestFileName);
                            m_fileNaming.setEditChemin(m_station.contestFolder);
                            m_fileNaming.setMainFileLabel(
                                m_station.contestFileName.section(u'.', 0, 0));
                            saveSettings();
                        },
                        [this] { saveSettings(); }});
    m_countries.setFallbackFile(m_options.shippedCountryFile.isEmpty()
                                    ? shippedFilePath(QStringLiteral("Secours/cty_wt.dat"))
                                    : m_options.shippedCountryFile);
}

Application::~Application() = default;

void Application::startUp() {
    ignoreFileSizeSignal();
    const RosterDecision roster = m_stationForm.create(
        programVersion(), m_session.clock().localNow().date(), backupVolumes(mountedVolumes()));
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
    // Scores made without the country table or the roster are wrong: the operator is told.
    for (const QString& warning : m_session.referenceWarnings()) {
        m_stationForm.reportStartUpError(warning);
    }
    // Cleared after the settings load, which names the contest folder; a load that fails still
    // leaves the folders known.
    const auto clearLeftovers = [this] {
        for (const QString& folder :
             {m_programFolder, filesFolder(), QDir::cleanPath(m_station.contestFolder)}) {
            removeLeftoverTempFiles(folder);
        }
    };
    m_radio.load();
    try {
        m_settings.load();
    } catch (...) {
        clearLeftovers();
        throw;
    }
    clearLeftovers();
    m_session.setBackupVolume(m_stationForm.backupRoot()); // a folder chosen in an earlier run
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

QString Application::activateStation() {
    if (m_session.contestFile().isOpen()) {
        m_stationForm.keep();
    }
    return m_stationForm.activate();
}

bool Application::cancelStation() {
    if (!m_stationForm.cancel()) {
        return false;
    }
    m_session.setBackupVolume(m_stationForm.backupRoot());
    return true;
}

void Application::acceptStation() {
    (void)activateStation(); // its prompt is for the window
    const StationOk ok = m_stationForm.accept();
    if (!ok.accepted) {
        throw AppError(ok.message);
    }
}

void Application::confirmFileNaming() {
    m_fileNaming.confirm(m_session.clock().localNow());
    m_session.contestFileOpened();
    activateMain();
    m_session.clock().setRealTime();
}

void Application::chooseLanguage(int index) {
    m_station.language = index;
    m_settings.loadLanguage();
}

void Application::saveSettings() {
    if (m_layoutSource) {
        m_layoutSource(m_layout);
    }
    m_settings.save(programVersion());
}

void Application::setContestFile(const QString& path) {
    const QFileInfo info(path);
    m_station.contestFolder = info.absolutePath();
    m_station.contestFileName = info.fileName();
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

} // namespace vu
