#include "support/test_session.h"

#include <QDir>

namespace vu::test {

namespace {

QString laidOut(const QTemporaryDir& dir) {
    const QString folder = dir.path();
    QFile::copy(fixture(QStringLiteral("cty_wt.dat")), folder + QStringLiteral("/cty_wt.dat"));
    QDir().mkpath(folder + QStringLiteral("/Fichiers_BD"));
    writeFile(folder + QStringLiteral("/Fichiers_BD/VUZ_adar_2021.csv"),
              "Indicatif,Numero,Prenom,Adhesion\r\nF5ABC,123,Jean,2020\r\nD4ERI,12,Eric,2020\r\n");
    return folder;
}

} // namespace

TestSession::TestSession(const QDateTime& now)
    : countries(laidOut(m_dir)), roster(m_dir.path()), time(now),
      session(station, countries, roster, texts, time, m_dir.path() + QStringLiteral("/Files")),
      table(session.table()), clock(session.clock()), file(session.contestFile()) {
    station.contestFolder = m_dir.path();
    station.contestFileName = QStringLiteral("LOG.QRP");
    station.operatorCall = QStringLiteral("D4ERI");
    station.stationCall = QStringLiteral("D4ERI");
}

} // namespace vu::test
