// Plays a short contest through the real windows on the current display and saves a picture of
// each window into the folder given as the only argument.
#include "app/application.h"
#include "support/scripted_dialogs.h"
#include "ui/dialogs.h"
#include "ui/examples_window.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/program_start.h"
#include "ui/program_windows.h"
#include "ui/report_window.h"
#include "ui/station_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace {

// Questions answered No, messages only printed: the road goes on unattended.
void settle() {
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(50);
    }
}

void shoot(QWidget* window, const QString& path) {
    window->raise();
    window->activateWindow();
    settle();
    QScreen* screen = window->screen();
    // The whole window with its title bar, as the operator sees it.
    const QRect frame = window->frameGeometry();
    const QPixmap picture =
        screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (!picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
    }
}

bool copy(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    return QFile::copy(from, to);
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varurav-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString source = QStringLiteral(VARURAV_SOURCE_DIR);
    for (const QString& name : QDir(source + "/lang").entryList({"*.ini"}, QDir::Files)) {
        copy(source + "/lang/" + name, folder + "/Lng/" + name);
    }
    copy(source + "/data/SMTP.csv", folder + "/SMTP.csv");
    copy(source + "/tests/fixtures/cty_wt.dat", folder + "/cty_wt.dat");
    copy(source + "/tests/fixtures/roster_sample.csv", folder + "/Fichiers_BD/VUZ_adar_2021.csv");

    vu::ApplicationOptions options;
    options.programFolder = folder;
    options.allowNetwork = false;
    vu::test::ScriptedDialogs dialogs; // answers No; boxes are printed
    dialogs.onShown = [](const QString& kind, const QString& text) {
        std::printf("%s: %s\n", qPrintable(kind), qPrintable(text));
    };
    vu::StartedProgram program(options, dialogs);
    vu::Application& app = program.app();
    vu::ProgramWindows& windows = program.windows();
    settle();

    vu::StationWindow& station = windows.station();
    station.move(20, 20);
    QTest::keyClicks(station.Edit_op, "f1isa");
    QTest::keyClicks(station.Edit_nom, "Jean-Luc Martin");
    QTest::keyClicks(station.Edit_AD1, "3 rue des Lilas");
    QTest::keyClicks(station.Edit_CITY, "Lyon");
    QTest::keyClicks(station.Edit_ZIPCODE, "69001");
    QTest::keyClicks(station.Edit_email, "f1isa@orange.fr");
    shoot(&station, out + "/station_window.png");
    QTest::mouseClick(station.Button_quit, Qt::LeftButton);

    vu::FileNamingWindow& naming = windows.fileNaming();
    naming.move(20, 20);
    naming.resize(640, 300);
    shoot(&naming, out + "/file_naming_window.png");
    QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);

    vu::MainWindow& main = windows.main();
    main.move(20, 20);
    main.resize(1100, 640);
    const char* lines[] = {"RU6SQZ",       "OO4HEE 5 7", "DL1ABC O",  "D8ADO",
                           "G4XYZ 44",     "EA3AAA",     "RU6SQZ",    "K1ABC 229 359 O",
                           "JA1XYZ 5 5 5", "I2ABC",      "HB9XYZ 57", "ON4ZZZ"};
    int n = 0;
    for (const char* line : lines) {
        if (n == 6) {
            QTest::keyClick(main.Edit_saisie, Qt::Key_F2, Qt::AltModifier);
        }
        ++n;
        QTest::keyClicks(main.Edit_saisie, QString::fromLatin1(line));
        QTest::keyClick(main.Edit_saisie, Qt::Key_Return);
        QTest::qWait(20);
    }
    QTest::keyClicks(main.Edit_saisie, "F1IS");
    shoot(&main, out + "/main_window.png");
    QTest::keyClick(main.Edit_saisie, Qt::Key_W, Qt::AltModifier);

    vu::ExamplesWindow& examples = windows.examples();
    QTest::mouseClick(main.SpeedButton_aide_saisie, Qt::LeftButton);
    examples.move(40, 40);
    examples.resize(560, 230);
    shoot(&examples, out + "/examples_window.png");
    examples.hide();

    vu::ReportWindow& report = windows.report();
    app.stationForm().setEditSmtp("smtp.orange.fr");
    app.stationForm().setEditPort("25");
    app.acceptStation();
    QTest::mouseClick(main.SpeedButton_mail, Qt::LeftButton);
    report.move(40, 40);
    report.resize(640, 420);
    report.FormActivate();
    shoot(&report, out + "/report_window.png");
    return 0;
}
