#include "app/application.h"

#include "platform/version.h"

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
      m_clock(timeSourceOf(m_options, m_systemTime)), m_contestFile(m_table, m_station, *this),
      m_entryPanel(m_table, m_contestFile, m_clock, *this),
      m_gridEditing(m_table, m_contestFile, m_clock, *this), m_backups(m_contestFile),
      m_startDate(m_clock.localNow().date().toString(QStringLiteral("dd/MM/yyyy"))) {}

Application::~Application() = default;

void Application::startUp() {
    for (const char* name : {"Files", "Lng", "Fichiers_BD"}) {
        QDir(m_programFolder).mkpath(QString::fromLatin1(name));
    }
    m_station.contestFolder = filesFolder();
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

QString Application::memberFirstName(const QString& /*call*/) {
    return {};
}

void Application::computeTotalScore(LogTable& /*table*/) {}

void Application::clearHisContinent() {
    m_hisContinent.clear();
}

MemberResult Application::lookUpMember(const QString& /*call*/) {
    return {};
}

bool Application::scoreLine(LogTable& /*table*/, int /*row*/) {
    return false;
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
