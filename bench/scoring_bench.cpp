// Speed of the reference data and the scoring on the real country file and roster, with logs
// written by the fixtures' generator: full rescoring, the as-you-type check and building the
// country list.
#include "contest_log/bands.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "scoring/scoring.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace vu::bench {
namespace {

const QString kFixtures = QStringLiteral(VARURAV_FIXTURES_DIR);

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "scoring_bench: %s\n", qPrintable(why));
    std::abort();
}

QByteArray readFixture(const QString& name) {
    QFile file(kFixtures + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read ") + file.fileName());
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        fail(QStringLiteral("cannot write ") + path);
    }
}

// A program folder holding the real country file, its country list and the roster.
struct ProgramFolder {
    ProgramFolder() {
        if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("Fichiers_BD"))) {
            fail(QStringLiteral("no temporary folder"));
        }
        writeFile(dir.filePath(QStringLiteral("cty_wt.dat")), readFixture("cty_wt.dat"));
        writeFile(dir.filePath(QStringLiteral("Fichiers_BD/VUZ_adar_2021.csv")),
                  readFixture("roster_sample.csv"));
        countries.buildCountryList(false);
        station.category = QStringLiteral("QRP");
        station.continent = QStringLiteral("EU");
    }
    QTemporaryDir dir;
    CountryTable countries{dir.path()};
    MemberRoster roster{dir.path()};
    StationSettings station;
};

ProgramFolder& folder() {
    static ProgramFolder instance;
    return instance;
}

// The generator's log of `lines` rows as a log table (rows 1..lines, then the entry row).
const LogTable& bigLog(int lines) {
    static std::map<int, LogTable> logs;
    const auto known = logs.find(lines);
    if (known != logs.end()) {
        return known->second;
    }
    QProcess generator;
    generator.start(QStringLiteral("/usr/bin/python3"),
                    {kFixtures + QStringLiteral("/make_big_log.py"), QString::number(lines),
                     QStringLiteral("--seed"), QStringLiteral("7")});
    if (!generator.waitForFinished(120000) || generator.exitCode() != 0) {
        fail(QStringLiteral("make_big_log.py failed: ") +
             QString::fromLocal8Bit(generator.readAllStandardError()));
    }
    const QStringList rows = QString::fromLatin1(generator.readAllStandardOutput())
                                 .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    LogTable& table = logs[lines];
    table.setRowCount(static_cast<int>(rows.size()) + 2);
    const Col columns[] = {Col::Band,    Col::Date,    Col::Time,   Col::Call,
                           Col::RstSent, Col::RstRcvd, Col::Member, Col::Category};
    for (int row = 1; row <= rows.size(); ++row) {
        const QStringList fields = rows[row - 1].split(QLatin1Char(','));
        if (fields.size() != 8) {
            fail(QStringLiteral("unexpected generator row: ") + rows[row - 1]);
        }
        table.setCell(Col::Number, row, QString::number(row));
        for (int i = 0; i < 8; ++i) {
            table.setCell(columns[i], row, fields[i]);
        }
    }
    return table;
}

// Rescoring the whole log after a new contact: the rows already hold their results.
void BM_ComputeTotalScore(benchmark::State& state) {
    LogTable table = bigLog(static_cast<int>(state.range(0)));
    Scorer scorer(folder().countries, folder().station);
    scorer.computeTotalScore(table);
    for (auto _ : state) {
        scorer.computeTotalScore(table);
        benchmark::DoNotOptimize(scorer.board().score);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ComputeTotalScore)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Rescoring a log just loaded: every result cell is written.
void BM_ComputeTotalScoreFresh(benchmark::State& state) {
    const LogTable& loaded = bigLog(static_cast<int>(state.range(0)));
    Scorer scorer(folder().countries, folder().station);
    for (auto _ : state) {
        state.PauseTiming();
        LogTable table = loaded;
        state.ResumeTiming();
        scorer.computeTotalScore(table);
        benchmark::DoNotOptimize(scorer.board().score);
    }
}
BENCHMARK(BM_ComputeTotalScoreFresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One keystroke in the quick-entry field: the duplicate scan over the log and the member lookup
// (a callsign not in the log, so the scan runs to the end).
void BM_AsYouTypeCheck(benchmark::State& state) {
    const LogTable& table = bigLog(static_cast<int>(state.range(0)));
    MemberRoster& roster = folder().roster;
    const QString typed = QStringLiteral("F5ZZZQ");
    const QString band = QStringLiteral("40");
    for (auto _ : state) {
        benchmark::DoNotOptimize(workedOnBand(table, typed, band));
        benchmark::DoNotOptimize(roster.lookUpMember(typed));
    }
}
BENCHMARK(BM_AsYouTypeCheck)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Building the country list from the full country file, written to disk and held in memory.
void BM_BuildCountryList(benchmark::State& state) {
    CountryTable& countries = folder().countries;
    for (auto _ : state) {
        countries.buildCountryList(false);
        benchmark::DoNotOptimize(countries.dxccPrefixes().size());
    }
}
BENCHMARK(BM_BuildCountryList)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vu::bench

BENCHMARK_MAIN();
