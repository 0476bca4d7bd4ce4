// Speed of Enter in the core at 10,000 lines (the command-line tool's road: no window): the line
// parsed, stamped, written durably and scored. Arg 0: the log did not change since the last
// scoring, so only the new QSO is scored; arg 1: a cell of the first line was changed before each
// Enter, so the log is rescored whole, as every Enter did before.
#include "app/application.h"
#include "bench_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace vu::bench {
namespace {

// A program folder with the real country file and roster, and a contest file of `lines` QSOs
// loaded as the main window loads it.
struct Station {
    explicit Station(int lines) {
        const QString program = dir.path();
        layProgramFolder(program, lines);
        ApplicationOptions options;
        options.programFolder = program;
        options.allowNetwork = false;
        app = std::make_unique<Application>(options);
        app->startUp();
        app->station().operatorCall = QStringLiteral("D4ERI");
        app->station().stationCall = QStringLiteral("D4ERI");
        app->setContestFile(program + "/Files/LOG.QRP");
        app->activateMain();
        app->session().clock().setRealTime();
    }
    QTemporaryDir dir;
    std::unique_ptr<Application> app;
};

void BM_EnterAt10000Lines(benchmark::State& state) {
    Station station(10000);
    ContestSession& session = station.app->session();
    LogTable& table = session.table();
    const bool changedAbove = state.range(0) != 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.entryPanel().setEntryText(QStringLiteral("G%1XYZ 5 7").arg(n++));
        if (changedAbove) {
            const QString number = table.cell(Col::Number, 1);
            table.setCell(Col::Number, 1, QStringLiteral("x"));
            table.setCell(Col::Number, 1, number);
        }
        state.ResumeTiming();
        if (session.entryPanel().pressEnter() != EntryPanel::EnterOutcome::Stored) {
            state.SkipWithError("Enter refused the line");
        }
    }
}
BENCHMARK(BM_EnterAt10000Lines)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace vu::bench

BENCHMARK_MAIN();
