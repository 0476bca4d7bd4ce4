#include "app/application.h"

#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

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
      m_clock(timeSourceOf(m_options, m_systemTime)), m_countries(m_programFolder),
      m_roster(m_programFolder), m_scorer(m_countries, m_station),
      m_contestFile(m_table, m_station, *this) {}

Application::~Application() = default;

void Application::startUp() {
    for (const char* name : {"Files", "Lng", "Fichiers_BD"}) {
        QDir(m_programFolder).mkpath(QString::fromLatin1(name));
    }
    m_station.contestFolder = filesFolder();
    try {
        m_countries.buildCountryList(m_options.allowNetwork);
    } catch (const AppError& e) {
        m_startUpErrors << e.message();
    }
}

void Application::setReferenceSources(const ReferenceSources& sources) {
    m_countries.setSources(sources);
    m_roster.setSources(sources);
}

void Application::acceptStation() {}

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
}

void Application::clearHisContinent() {
    m_scorer.clearHisContinent();
}

} // namespace vu
