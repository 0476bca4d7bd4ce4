// Any bytes as a contest file load without a fault, and the log can be written back.
#include "contest_log/contest_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    vu::StationSettings station;
    station.contestFolder = dir.path();
    station.contestFileName = QStringLiteral("FUZZ.QRP");
    {
        QFile file(station.contestFilePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    vu::LogTable table;
    vu::ContestFile contest(table, station);
    contest.load();
    if (table.rowCount() < 2) {
        std::abort();
    }
    (void)contest.tableImage(nullptr);
    contest.close();
    return 0;
}
