// One whole contest through the real windows: station, file naming, twelve QSOs, corrections in
// the grid, reports, the mail to a real SMTP server, "Quitter", and a second start.
#include "app/application.h"
#include "contest_log/record_file.h"
#include "support/scripted_dialogs.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/program_start.h"
#include "ui/program_windows.h"
#include "ui/report_window.h"
#include "ui/station_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vu {
namespace {

// The program started as main() starts it; quitting leaves the test's event loop running.
struct Program {
    Program(const QString& folder, const TimeSource& time, test::ScriptedDialogs& dialogs)
        : started(optionsFor(folder, time), dialogs, {}, StartedProgram::OnQuit::SignalOnly),
          app(&started.app()), windows(&started.windows()) {}
    static ApplicationOptions optionsFor(const QString& folder, const TimeSource& time) {
        ApplicationOptions options;
        options.programFolder = folder;
        options.timeSource = &time;
        options.allowNetwork = false;
        return options;
    }
    StartedProgram started;
    Application* app;
    ProgramWindows* windows;
};

TEST(ContestRoad, AWholeContestFromStationWindowToQuitAndBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath("program");
    test::layShippedProgramFolder(folder);
    test::SmtpSink smtp;
    ASSERT_GT(smtp.port(), 0);
    test::FixedTime time(QDateTime(QDate(2024, 1, 20), QTime(14, 0), Qt::UTC));
    test::ScriptedDialogs dialogs;

    QString scoreBefore;
    QStringList callsBefore;
    {
        Program program(folder, time, dialogs);
        Application& app = *program.app;
        app.session().setReportMailOptions({QStringLiteral("checker@example.org"), 5000, 20000});
        StationWindow& station = program.windows->station();
        ASSERT_TRUE(station.isVisible());

        // The station: a club member, his address and mail server.
        QTest::keyClicks(station.Edit_op, "f1isa");
        EXPECT_EQ(station.Edit_op->text(), "F1ISA");
        EXPECT_EQ(station.Edit_NZRB->text(), "3");
        EXPECT_EQ(station.Edit_station->text(), "F1ISA");
        QTest::keyClicks(station.Edit_nom, "Jean-Luc Martin");
        QTest::keyClicks(station.Edit_AD1, "3 rue des Lilas");
        QTest::keyClicks(station.Edit_CITY, "Lyon");
        QTest::keyClicks(station.Edit_ZIPCODE, "69001");
        QTest::keyClicks(station.Edit_email, "f1isa@orange.fr");
        EXPECT_EQ(station.Edit_smtp->text(), "smtp.orange.fr");
        station.Edit_smtp->clear();
        QTest::keyClicks(station.Edit_smtp, "127.0.0.1");
        station.Edit_port->clear();
        QTest::keyClicks(station.Edit_port, QString::number(smtp.port()));
        QTest::mouseClick(station.Button_quit, Qt::LeftButton);
        ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();

        // The file name proposed and confirmed.
        FileNamingWindow& naming = program.windows->fileNaming();
        ASSERT_TRUE(naming.isVisible());
        EXPECT_EQ(naming.Edit_nom_fichier->text(), "ZIV_URU_2024@F1ISA");
        QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
        MainWindow& main = program.windows->main();
        ASSERT_TRUE(main.isVisible());
        const QString log = folder + "/Files/ZIV_URU_2024@F1ISA.QRP";
        ASSERT_TRUE(QFile::exists(log));
        EXPECT_EQ(main.Label_nomfichier->text(), "ZIV_URU_2024@F1ISA");

        // Twelve lines typed on several bands, one of them refused.
        main.Anglais1->trigger(); // the interface in English from here on
        const auto enter = [&](const QString& line) {
            time.set(time.now().addSecs(60));
            main.Timer1Timer();
            QTest::keyClicks(main.Edit_saisie, line);
            QTest::keyClick(main.Edit_saisie, Qt::Key_Return);
        };
        enter("RU6SQZ");
        enter("OO4HEE 5 7");
        enter("DL1ABC O");
        enter("D8ADO");
        enter("RU6SQZ");  // duplicate on 40
        enter("F5XYZ X"); // refused: stays in the field
        EXPECT_EQ(main.Edit_saisie->text(), "F5XYZ X");
        EXPECT_EQ(main.Label_erreur->text(), "Erreur de saisie 22");
        QTest::keyClick(main.Edit_saisie, Qt::Key_W, Qt::AltModifier);
        QTest::keyClick(main.Edit_saisie, Qt::Key_F2, Qt::AltModifier); // 20 m
        enter("RU6SQZ");
        enter("OO4HEE 229 359 O");
        enter("K1ABC");
        QTest::keyClick(main.Edit_saisie, Qt::Key_F1, Qt::AltModifier);
        QTest::keyClick(main.Edit_saisie, Qt::Key_F1, Qt::AltModifier); // 80 m
        enter("G4XYZ 44");
        enter("EA3AAA");
        enter("JA1XYZ 5 5 5");
        LogTable& table = app.session().table();
        ASSERT_EQ(table.rowCount(), 13); // titles, 11 lines, entry row
        EXPECT_EQ(table.cell(Col::Dupe, 5), "DUPE = RU6SQZ->14:01");
        EXPECT_EQ(table.cell(Col::Points, 4), "20");
        EXPECT_EQ(test::recordCalls(log).size(), 11);

        // One line corrected in the grid: Enter stores it again.
        QAbstractItemModel* model = main.Grille_log->model();
        main.Grille_log->setCurrentIndex(model->index(2, 6)); // line 3, RST received
        model->setData(model->index(2, 6), "339");
        QTest::keyClick(main.Grille_log, Qt::Key_Return);
        EXPECT_EQ(decodeRecord(test::readFile(log).constData() + 3 * kRecordSize).rstRcvd, "339");
        // One deleted (the duplicate), one blank line inserted and filled.
        main.Grille_log->setCurrentIndex(model->index(4, 4));
        dialogs.answers = {true};
        QTest::keyClick(main.Grille_log, Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(test::recordCalls(log).size(), 10);
        EXPECT_TRUE(QFile::exists(folder + "/Files/ZIV_URU_2024@F1ISA.BAK"));
        main.Grille_log->setCurrentIndex(model->index(1, 4));
        dialogs.answers = {true};
        main.Insrerunelignevide1->trigger();
        EXPECT_TRUE(table.cell(Col::Call, 2).isEmpty());
        QTest::mouseClick(main.SpeedButton_temps_differe, Qt::LeftButton);
        main.DateTimePicker_time->setTime(QTime(14, 1, 30));
        model->setData(model->index(1, 4), "ON4ZZZ");
        main.Grille_log->setCurrentIndex(model->index(1, 4));
        QTest::keyClick(main.Grille_log, Qt::Key_Return);
        EXPECT_EQ(table.cell(Col::Time, 2), "14:01");
        EXPECT_EQ(test::recordCalls(log).at(1), "ON4ZZZ");
        QTest::mouseClick(main.SpeedButton_temps_reel, Qt::LeftButton);

        // Reports, then the mail with the Cabrillo file attached.
        dialogs.messages.clear();
        main.Creation1->trigger();
        // No finding of the check follows: the corrected line kept its time, and the line filled
        // in deferred time at 14:01 lies between its neighbours.
        ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join('\n').toStdString();
        EXPECT_TRUE(dialogs.messages[0].startsWith("CABRILLO (*.CBR) + ADIF (*.ADI) "));
        const QString cabrillo = folder + "/Files/ZIV_URU_2024@F1ISA.CBR";
        EXPECT_TRUE(QFile::exists(cabrillo));
        EXPECT_TRUE(QFile::exists(folder + "/Files/ZIV_URU_2024@F1ISA.ADI"));
        QTest::mouseClick(main.SpeedButton_mail, Qt::LeftButton);
        ReportWindow& report = program.windows->report();
        ASSERT_TRUE(report.isVisible()) << dialogs.messages.join('\n').toStdString();
        report.FormActivate();
        EXPECT_EQ(report.Edit_AD_Destinataire->text(), "checker@example.org");
        dialogs.messages.clear();
        QTest::mouseClick(report.Button_envoi, Qt::LeftButton);
        // The send runs on a worker; its outcome closes the window.
        ASSERT_TRUE(test::waitFor([&] { return !report.isVisible(); }));
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
        const QJsonObject mail = smtp.message(1);
        ASSERT_FALSE(mail.isEmpty());
        EXPECT_EQ(mail["headers"].toObject()["Subject"].toString(), "ZIV_URU_F1ISA");
        const QJsonArray parts = mail["parts"].toArray();
        ASSERT_EQ(parts.size(), 2);
        EXPECT_EQ(QByteArray::fromHex(parts[1]["hex"].toString().toLatin1()),
                  test::readFile(cabrillo));

        scoreBefore = main.Label_score->text();
        callsBefore = test::recordCalls(log);
        QSignalSpy quit(program.windows, &ProgramWindows::quitRequested);
        QTest::mouseClick(main.BitBtn_quit, Qt::LeftButton);
        EXPECT_EQ(quit.count(), 1);
        EXPECT_EQ(test::recordCalls(log + "_Mem"), callsBefore + QStringList{""});
    }

    // The second start comes back with the same station, language, file, log and score.
    Program program(folder, time, dialogs);
    StationWindow& station = program.windows->station();
    EXPECT_EQ(station.Edit_op->text(), "F1ISA");
    EXPECT_EQ(station.Edit_email->text(), "f1isa@orange.fr");
    EXPECT_EQ(station.Label_station->text(), "Station on the air");
    QTest::mouseClick(station.Button_quit, Qt::LeftButton);
    FileNamingWindow& naming = program.windows->fileNaming();
    EXPECT_EQ(naming.Edit_nom_fichier->text(), "ZIV_URU_2024@F1ISA");
    QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
    MainWindow& main = program.windows->main();
    EXPECT_EQ(main.Label_score->text(), scoreBefore);
    EXPECT_EQ(test::recordCalls(program.app->session().contestFile().path()), callsBefore);
}

} // namespace
} // namespace vu
