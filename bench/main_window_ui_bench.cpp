// Speed of the main window with a 10,000-line log on the offscreen platform: Enter on a valid
// quick-entry line (record on disk, log rescored, view updated), and one character typed into the
// quick-entry field (the as-you-type duplicate and member check); then a character and Enter with
// the radio off and with it on, read every half second from a rigctld, in the same run.
#include "app/application.h"
#include "bench_support.h"
#include "platform/rig_control.h"
#include "support/rigctld.h"
#include "support/scripted_dialogs.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace vu::bench {
namespace {

// A program folder with the real country file and roster, and a contest file of `lines` QSOs.
struct Station {
    explicit Station(int lines) {
        const QString program = dir.path();
        layProgramFolder(program, lines);
        ApplicationOptions options;
        options.programFolder = program;
        options.allowNetwork = false;
        started = std::make_unique<StartedProgram>(options, dialogs);
        Application& app = started->app();
        app.setContestFile(program + "/Files/LOG.QRP");
        app.station().operatorCall = QStringLiteral("D4ERI");
        app.station().stationCall = QStringLiteral("D4ERI");
        app.session().clock().setRealTime();
        window = &started->windows().main();
        window->FormActivate();
        window->Timer1Timer();
    }
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs; // answers No, shows nothing
    std::unique_ptr<StartedProgram> started;
    MainWindow* window = nullptr;
};

void BM_EnterOnAValidLine(benchmark::State& state) {
    Station station(10000);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        station.window->Edit_saisie->setText(QStringLiteral("G%1XYZ 5 7").arg(n++));
        state.ResumeTiming();
        QTest::keyClick(station.window->Edit_saisie, Qt::Key_Return);
    }
}
BENCHMARK(BM_EnterOnAValidLine)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_TypeOneCharacter(benchmark::State& state) {
    Station station(10000);
    station.window->Edit_saisie->setText(QStringLiteral("F4AB"));
    for (auto _ : state) {
        QTest::keyClick(station.window->Edit_saisie, Qt::Key_C);
        state.PauseTiming();
        QTest::keyClick(station.window->Edit_saisie, Qt::Key_Backspace);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TypeOneCharacter)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Arg 0: no radio. Arg 1: the radio on, its frequency read every half second on the worker thread
// from a rigctld's dummy rig, while the operator types the last character of a call and Enter.
void BM_TypeAndEnterWithTheRadio(benchmark::State& state) {
    Station station(10000);
    std::unique_ptr<test::Rigctld> rigctld;
    if (state.range(0) == 1) {
        rigctld = std::make_unique<test::Rigctld>();
        rigctld->setFrequency(7'020'000);
        RadioSettings radio;
        radio.enabled = true;
        radio.model = kRigModelNetRigctl;
        radio.port = rigctld->address();
        RadioSetup& setup = station.started->app().radio();
        setup.apply(radio);
        QElapsedTimer waited;
        waited.start();
        while (!setup.link().status().hz && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (!setup.link().status().hz) {
            state.SkipWithError("the radio did not answer");
            return;
        }
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents(); // the radio's news, as between two keystrokes
        station.window->Edit_saisie->setText(QStringLiteral("G%1XY").arg(n++));
        state.ResumeTiming();
        QTest::keyClick(station.window->Edit_saisie, Qt::Key_Z);
        QTest::keyClick(station.window->Edit_saisie, Qt::Key_Return);
    }
}
BENCHMARK(BM_TypeAndEnterWithTheRadio)
    ->ArgName("radio")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace vu::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
