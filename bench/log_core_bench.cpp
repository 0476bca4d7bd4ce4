// Speed of the log core: loading a contest file into the table, storing one row durably, and
// parsing a quick-entry line.
#include "bench_support.h"
#include "contest_log/quick_entry.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace vu::bench {
namespace {

void writeLogFile(const QString& path, int lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::abort();
    }
    file.write(syntheticLog(lines));
}

void BM_LoadContestFile(benchmark::State& state) {
    QTemporaryDir dir;
    StationSettings station;
    station.contestFolder = dir.path();
    station.contestFileName = QStringLiteral("LOG.QRP");
    writeLogFile(station.contestFilePath(), static_cast<int>(state.range(0)));
    LogTable table;
    ContestFile file(table, station);
    for (auto _ : state) {
        file.load();
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadContestFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_StoreRow(benchmark::State& state) {
    QTemporaryDir dir;
    StationSettings station;
    station.contestFolder = dir.path();
    station.contestFileName = QStringLiteral("LOG.QRP");
    writeLogFile(station.contestFilePath(), 10000);
    LogTable table;
    ContestFile file(table, station);
    file.load();
    const int row = table.rowCount() - 2;
    for (auto _ : state) {
        file.storeRow(row);
    }
}
BENCHMARK(BM_StoreRow)->Unit(benchmark::kMicrosecond);

void BM_ParseQuickEntry(benchmark::State& state) {
    const QString line = QStringLiteral("D4ERI/P 229 359 O");
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseQuickEntry(line));
    }
}
BENCHMARK(BM_ParseQuickEntry);

} // namespace
} // namespace vu::bench

BENCHMARK_MAIN();
