#include "bench_support.h"

#include "contest_log/bands.h"
#include "contest_log/log_format.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

namespace vu::bench {

QByteArray syntheticLog(int lines) {
    QByteArray bytes(kRecordSize, '\0');
    bytes.reserve(qsizetype(lines + 1) * kRecordSize);
    const QDate day(2024, 1, 15);
    for (int i = 0; i < lines; ++i) {
        Record r;
        r.operatorCall = QStringLiteral("D4ERI");
        r.stationCall = QStringLiteral("D4ERI");
        r.date = dayValue(day.addDays(i / 1440));
        r.time = timeFraction(QTime(0, 0).addSecs(60 * (i % 1440)));
        r.band = bandTexts().at(i % 5);
        r.call = QStringLiteral("F%1ABC").arg(i);
        r.rstSent = QStringLiteral("599");
        r.rstRcvd = QStringLiteral("599");
        r.member = i % 3 == 0 ? QStringLiteral("NM") : QString::number(i % 1500 + 1);
        r.category = i % 4 == 0 ? QStringLiteral("QRO") : QStringLiteral("QRP");
        bytes += encodeRecord(r);
    }
    return bytes;
}

void layProgramFolder(const QString& program, int lines) {
    QDir().mkpath(program + "/Fichiers_BD");
    QFile::copy(VARURAV_FIXTURES_DIR "/cty_wt.dat", program + "/cty_wt.dat");
    QFile::copy(VARURAV_FIXTURES_DIR "/roster_sample.csv",
                program + "/Fichiers_BD/VUZ_adar_2021.csv");
    QDir().mkpath(program + "/Files");
    QFile log(program + "/Files/LOG.QRP");
    if (!log.open(QIODevice::WriteOnly)) {
        std::abort();
    }
    log.write(syntheticLog(lines));
    log.close();
}

} // namespace vu::bench
