#include "app/application.h"
#include "support/scripted_dialogs.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"
#include "ui/examples_window.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/program_windows.h"
#include "ui/report_window.h"
#include "ui/station_window.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vu {
namespace {

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath("Lng")));
        const QDir lang(QStringLiteral(VARURAV_SOURCE_DIR "/lang"));
        for (const QString& name : lang.entryList({"*.ini"}, QDir::Files)) {
            ASSERT_TRUE(QFile::copy(lang.filePath(name), m_dir.filePath("Lng/" + name)));
        }
        ASSERT_TRUE(QFile::copy(test::fixture("cty_wt.dat"), m_dir.filePath("cty_wt.dat")));
        app.startUp();
        windows = std::make_unique<ProgramWindows>(app, dialogs);
    }

    QTemporaryDir m_dir;
    test::FixedTime time{QDateTime(QDate(2024, 1, 20), QTime(14, 0), Qt::UTC)};
    Application app{{m_dir.path(), &time, false, {}}};
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(WindowsTest, TheExamplesWindowShowsItsCardAndIsNeverDuplicated) {
    ExamplesWindow& examples = windows->examples();
    EXPECT_FALSE(examples.isVisible());
    QTest::mouseClick(windows->main().SpeedButton_aide_saisie, Qt::LeftButton);
    QTest::mouseClick(windows->main().SpeedButton_aide_saisie, Qt::LeftButton);
    EXPECT_TRUE(examples.isVisible());
    EXPECT_EQ(examples.windowTitle(), QStringLiteral("Saisie rapide, exemples"));
    QTableWidget* grid = examples.Grille_infos;
    ASSERT_EQ(grid->rowCount(), 8);
    ASSERT_EQ(grid->columnCount(), 6);
    const int widths[6] = {200, 35, 80, 50, 50, 80};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(grid->item(7, 0)->text(), QStringLiteral("   D4ERI/P   229   359   O"));
    EXPECT_EQ(grid->item(7, 1)->text(), QStringLiteral("--->"));
    EXPECT_EQ(grid->item(7, 5)->text(), QStringLiteral("  QRO"));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("   Saisie"));
    EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), QStringLiteral(" Catégorie"));
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QTest::mouseClick(examples.BitBtn_OK, Qt::LeftButton);
    EXPECT_FALSE(examples.isVisible());
    // Escape and Enter close it as well.
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        examples.show();
        QTest::keyClick(&examples, key);
        EXPECT_FALSE(examples.isVisible());
    }
}

// A folder of the operator's own can take the backups: chosen from the list, listed, and used.
TEST_F(WindowsTest, TheBackupListOffersAFolderOfTheOperatorsChoice) {
    StationWindow& station = windows->station();
    QComboBox* list = station.combobox_save;
    ASSERT_GE(list->count(), 2);
    EXPECT_EQ(list->itemText(list->count() - 1), QStringLiteral("Choisir un dossier…"));
    QTemporaryDir backups;
    dialogs.folders = {QString()}; // cancelled: nothing changes
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(list->currentIndex(), -1);
    dialogs.folders = {backups.path()};
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(list->currentText(), backups.path() + " Dossier");
    EXPECT_EQ(app.stationForm().backupRoot(), backups.path());
    EXPECT_EQ(list->itemText(list->count() - 1), QStringLiteral("Choisir un dossier…"));
}

// The file naming window has no buttons in its title bar: OK is its only way on.
TEST_F(WindowsTest, TheFileNamingWindowHasNoTitleBarButtons) {
    FileNamingWindow& naming = windows->fileNaming();
    const Qt::WindowFlags flags = naming.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    // A window manager that shows the buttons anyway: they do nothing.
    naming.show();
    EXPECT_FALSE(naming.close());
    EXPECT_TRUE(naming.isVisible());
    for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        naming.setWindowState(state);
        EXPECT_TRUE(test::waitFor([&] { return naming.windowState() == Qt::WindowNoState; }));
    }
}

TEST_F(WindowsTest, TheLanguageMenuSwitchesEveryTextAtOnce) {
    MainWindow& main = windows->main();
    EXPECT_EQ(main.Langues1->title(), QStringLiteral("Langues"));
    main.Italien1->trigger();
    EXPECT_EQ(main.Langues1->title(), QStringLiteral("Lingue"));
    EXPECT_EQ(main.Label_temps->text(), QStringLiteral("Tempo reale"));
    EXPECT_EQ(main.Grille_log->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("Nominativo"));
    EXPECT_EQ(windows->examples().windowTitle(), QStringLiteral("Inserimento rapido, esempi"));
    EXPECT_EQ(windows->examples().Grille_infos->horizontalHeaderItem(4)->text(),
              QStringLiteral("   RST ric."));
    main.Anglais1->trigger();
    EXPECT_EQ(main.Langues1->title(), QStringLiteral("Languages"));
    EXPECT_EQ(windows->station().Label_station->text(), QStringLiteral("Station on the air"));
    // In deferred-time mode a new language still shows its real-time text in the mode label.
    QTest::mouseClick(main.SpeedButton_temps_differe, Qt::LeftButton);
    main.Franais1->trigger();
    EXPECT_EQ(main.Langues1->title(), QStringLiteral("Langues"));
    EXPECT_EQ(main.Label_temps->text(), app.texts().message(MessageText::TpsReel));
}

TEST_F(WindowsTest, TheMainWindowsLabelsFollowTheirWindowsRulesAndTheClocksMode) {
    StationWindow& station = windows->station();
    QTest::keyClicks(station.Edit_op, "d4eri");
    station.Edit_station->end(false);
    QTest::keyClicks(station.Edit_station, "/P ");
    MainWindow& main = windows->main();
    // The station label shows the station field as typed; the OK's trimmed value stays out of it.
    EXPECT_EQ(main.Label_station->text(), QStringLiteral("D4ERI/P "));
    QTest::mouseClick(station.Button_quit, Qt::LeftButton);
    EXPECT_EQ(main.Label_station->text(), QStringLiteral("D4ERI/P "));
    EXPECT_EQ(main.Label_categorie->text(), app.station().category);

    // The file label as typed in the file naming window, blanks and all.
    FileNamingWindow& naming = windows->fileNaming();
    naming.Edit_nom_fichier->clear();
    QTest::keyClicks(naming.Edit_nom_fichier, "  ZIV_URU_TEST  ");
    QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
    EXPECT_EQ(main.Label_nomfichier->text(), QStringLiteral("  ZIV_URU_TEST  "));

    // Deferred time, then back round the road: real time again, and the label says so.
    QTest::mouseClick(main.SpeedButton_temps_differe, Qt::LeftButton);
    EXPECT_EQ(main.Label_temps->text(), app.texts().message(MessageText::TpsDiffere));
    QTest::mouseClick(main.SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(station.Button_quit, Qt::LeftButton);
    QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
    EXPECT_TRUE(app.session().clock().isRealTime());
    EXPECT_EQ(main.Label_temps->text(), app.texts().message(MessageText::TpsReel));
}

TEST_F(WindowsTest, WithoutAViewerTheHelpButtonSaysWhereTheGuideIs) {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.filePath("no-programs-here").toLocal8Bit());
    QTest::mouseClick(windows->main().SpeedButton_help, Qt::LeftButton);
    qputenv("PATH", path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }, 5000));
    EXPECT_TRUE(dialogs.messages.last().startsWith(QStringLiteral("Aucun programme")));
    EXPECT_TRUE(dialogs.messages.last().endsWith(app.stationForm().helpFilePath()));
}

TEST_F(WindowsTest, TheCabrilloPreviewShowsTheFileAsPlainText) {
    app.station().operatorCall = QStringLiteral("D4ERI");
    app.station().stationCall = QStringLiteral("D4ERI");
    app.setContestFile(m_dir.filePath("Files/LOG.QRP"));
    const QString cabrillo = app.session().writeCabrillo();
    windows->report().FormActivate();
    QTest::mouseClick(windows->report().Image1, Qt::LeftButton);
    auto* preview =
        windows->report().findChild<QPlainTextEdit*>(QStringLiteral("Cabrillo_preview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->isReadOnly());
    EXPECT_TRUE(preview->toPlainText().startsWith(QStringLiteral("START-OF-LOG: 3.0")));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

// The findings of the check stand above the message; a report with an error goes only after the
// operator said so, asked once per send.
TEST_F(WindowsTest, TheReportWindowShowsTheFindingsAndAsksBeforeSendingAnError) {
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    app.session().setReportMailOptions({QStringLiteral("checker@example.org"), 5000, 20000});
    app.station().operatorCall = QStringLiteral("D4ERI");
    app.station().stationCall = QStringLiteral("D4ERI");
    app.station().clubNumber = QStringLiteral("12");
    app.station().email = QStringLiteral("d4eri@example.org");
    app.stationForm().setEditAD1(QStringLiteral("1 rue des Lilas"));
    app.stationForm().setEditSmtp(QStringLiteral("127.0.0.1"));
    app.stationForm().setEditPort(QString::number(sink.port()));
    app.setContestFile(m_dir.filePath("Files/LOG.QRP"));
    ReportWindow& report = windows->report();
    report.show();

    // No name: an error.
    report.FormActivate();
    EXPECT_TRUE(report.Memo_verification->isVisible());
    EXPECT_EQ(report.Memo_verification->toPlainText(), "error: NAME is empty");
    dialogs.answers = {false};
    QTest::mouseClick(report.Button_envoi, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions,
              QStringList{"Le compte rendu contient des erreurs. Envoyer quand même ?"});
    EXPECT_TRUE(dialogs.messages.isEmpty()); // nothing sent, nothing failed
    EXPECT_TRUE(report.isVisible());
    EXPECT_EQ(sink.messageCount(), 0);

    dialogs.answers = {true};
    QTest::mouseClick(report.Button_envoi, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_FALSE(sink.message(1).isEmpty());
    EXPECT_TRUE(test::waitFor([&] { return !report.isVisible(); })); // the send's worker ended
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();

    // A warning only: shown, and the send asks nothing.
    app.stationForm().setEditNom(QStringLiteral("Éric"));
    app.stationForm().setEditAD1(QString());
    report.show();
    report.FormActivate();
    EXPECT_EQ(report.Memo_verification->toPlainText(), "warning: ADDRESS is empty");
    QTest::mouseClick(report.Button_envoi, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_FALSE(sink.message(2).isEmpty());
    EXPECT_TRUE(test::waitFor([&] { return !report.isVisible(); }));

    // Nothing to say: the findings are out of the way.
    app.stationForm().setEditAD1(QStringLiteral("1 rue des Lilas"));
    report.show();
    report.FormActivate();
    EXPECT_FALSE(report.Memo_verification->isVisible());
}

TEST_F(WindowsTest, AMissingLanguageFileGivesQuestionMarksAndTheExamplesDefaults) {
    ASSERT_TRUE(QFile::remove(m_dir.filePath("Lng/F_EN_ZUZUDER.ini")));
    MainWindow& main = windows->main();
    main.Anglais1->trigger();
    EXPECT_EQ(main.Langues1->title(), QStringLiteral("??"));
    EXPECT_EQ(main.Grille_log->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("??"));
    EXPECT_EQ(windows->examples().windowTitle(), QStringLiteral("Saisie rapide, exemples"));
    EXPECT_EQ(windows->examples().Grille_infos->horizontalHeaderItem(0)->text(),
              QStringLiteral("   Saisie"));
}

} // namespace
} // namespace vu
