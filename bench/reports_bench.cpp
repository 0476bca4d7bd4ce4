// Speed of the report writers on a long log: the Cabrillo and ADIF texts of 1,000 and 10,000
// lines, formatted in memory (the file write itself is one atomic write of the result), the
// check of the Cabrillo report, and the three together as the report button runs them.
#include "bench_support.h"
#include "reports/adif.h"
#include "reports/cabrillo.h"
#include "reports/cabrillo_check.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace vu::bench {
namespace {

ReportStation station() {
    ReportStation s;
    s.stationCall = QStringLiteral("D4ERI");
    s.operatorCall = QStringLiteral("D4ERI");
    s.clubNumber = QStringLiteral("123");
    s.category = QStringLiteral("QRP");
    s.acceptedName = s.name = QStringLiteral("Hélène Dupré");
    s.street = QStringLiteral("1 rue des Lilas");
    s.city = QStringLiteral("Lyon");
    s.zipCode = QStringLiteral("69001");
    s.email = s.emailTyped = QStringLiteral("d4eri@example.org");
    return s;
}

// A table loaded from a synthetic contest file of `lines` QSOs.
LogTable loadedTable(int lines) {
    QTemporaryDir dir;
    StationSettings settings;
    settings.contestFolder = dir.path();
    settings.contestFileName = QStringLiteral("LOG.QRP");
    QFile file(settings.contestFilePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(syntheticLog(lines)) < 0) {
        std::abort();
    }
    file.close();
    LogTable table;
    ContestFile contest(table, settings);
    contest.load();
    contest.close();
    return table;
}

void BM_CabrilloText(benchmark::State& state) {
    const LogTable table = loadedTable(static_cast<int>(state.range(0)));
    const ReportStation s = station();
    for (auto _ : state) {
        benchmark::DoNotOptimize(cabrilloFile(table, s, QStringLiteral("7.1.1.0")));
    }
}
BENCHMARK(BM_CabrilloText)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AdifText(benchmark::State& state) {
    const LogTable table = loadedTable(static_cast<int>(state.range(0)));
    const ReportStation s = station();
    const CountryResult france{"F", "France", "F", "EU", "227"};
    const CountryLookup lookUp = [&france](const QString&) { return france; };
    for (auto _ : state) {
        benchmark::DoNotOptimize(adifFile(table, s, QStringLiteral("7.1.1.0"), lookUp));
    }
}
BENCHMARK(BM_AdifText)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CabrilloCheck(benchmark::State& state) {
    const LogTable table = loadedTable(static_cast<int>(state.range(0)));
    const ReportStation s = station();
    for (auto _ : state) {
        benchmark::DoNotOptimize(checkCabrillo(table, s, QStringLiteral("7.1.1.0")));
    }
}
BENCHMARK(BM_CabrilloCheck)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The report button's work in memory: the Cabrillo text, its check and the ADIF text.
void BM_ReportsWithCheck(benchmark::State& state) {
    const LogTable table = loadedTable(static_cast<int>(state.range(0)));
    const ReportStation s = station();
    const CountryResult france{"F", "France", "F", "EU", "227"};
    const CountryLookup lookUp = [&france](const QString&) { return france; };
    for (auto _ : state) {
        benchmark::DoNotOptimize(cabrilloFile(table, s, QStringLiteral("7.1.1.0")));
        benchmark::DoNotOptimize(checkCabrillo(table, s, QStringLiteral("7.1.1.0")));
        benchmark::DoNotOptimize(adifFile(table, s, QStringLiteral("7.1.1.0"), lookUp));
    }
}
BENCHMARK(BM_ReportsWithCheck)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vu::bench

BENCHMARK_MAIN();
