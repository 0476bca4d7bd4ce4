#include "app/application.h"
#include "contest_log/log_format.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"
#include "ui/band_selector.h"
#include "ui/main_window.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vu {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        app.startUp();
        app.setContestFile(m_dir.filePath(QStringLiteral("Files/LOG.QRP")));
        app.station().operatorCall = QStringLiteral("D4ERI");
        app.station().stationCall = QStringLiteral("D4ERI");
        app.session().contestFile().createNew(app.session().clock().localNow());
        app.session().clock().setRealTime();
        window = std::make_unique<MainWindow>(
            app.session(), app.texts(), MainLabels{app.stationForm(), app.fileNaming()}, dialogs);
        window->FormActivate();
        Timer1Tick();
    }

    void Timer1Tick() {
        QMetaObject::invokeMethod(window->Timer1, "timeout", Qt::DirectConnection);
    }

    void type(const QString& text) { QTest::keyClicks(window->Edit_saisie, text); }
    void enter() { QTest::keyClick(window->Edit_saisie, Qt::Key_Return); }
    void gridKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(window->Grille_log, key, mods);
    }

    std::vector<Record> records() { return test::lineRecords(app.session().contestFile().path()); }

    QTemporaryDir m_dir;
    test::FixedTime time{QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)};
    Application app{{m_dir.path(), &time, false, {}}};
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, TypingALineAndEnterStoresItAndOpensAFreshEntryRow) {
    type(QStringLiteral("f5abc 5 o"));
    EXPECT_EQ(window->Edit_saisie->text(), QStringLiteral("F5ABC 5 O"));
    enter();
    const LogTable& table = app.session().table();
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cell(Col::Call, 1), QStringLiteral("F5ABC"));
    EXPECT_EQ(table.cell(Col::Time, 1), QStringLiteral("10:00"));
    EXPECT_EQ(table.cell(Col::RstSent, 1), QStringLiteral("559"));
    EXPECT_EQ(table.cell(Col::Category, 1), QStringLiteral("QRO"));
    EXPECT_TRUE(window->Edit_saisie->text().isEmpty());
    EXPECT_TRUE(window->Label_erreur->text().isEmpty());
    EXPECT_EQ(window->Grille_log->model()->rowCount(), 2);
    EXPECT_EQ(window->Grille_log->currentIndex().row(), 1);
    ASSERT_EQ(records().size(), 1u);
    EXPECT_EQ(records()[0].call, QStringLiteral("F5ABC"));
}

TEST_F(MainWindowTest, ARefusedLineKeepsItsTextAndSelectsToken2) {
    type(QStringLiteral("F5ABC X"));
    enter();
    EXPECT_EQ(window->Edit_saisie->text(), QStringLiteral("F5ABC X"));
    EXPECT_EQ(window->Label_erreur->text(), QStringLiteral("Erreur de saisie 22"));
    EXPECT_EQ(window->Edit_saisie->selectedText(), QStringLiteral("X"));
    EXPECT_EQ(app.session().table().rowCount(), 2);
}

TEST_F(MainWindowTest, ARefusalWithCode23LeavesNoSelectionOfAnEarlierCode22) {
    type(QStringLiteral("F5ABC X"));
    enter();
    ASSERT_EQ(window->Edit_saisie->selectedText(), QStringLiteral("X"));
    window->Edit_saisie->setText(QStringLiteral("F5ABC 5 7 AB"));
    window->Edit_saisie->setCursorPosition(3);
    enter();
    EXPECT_EQ(app.session().entryPanel().entryError(), 23);
    EXPECT_FALSE(window->Edit_saisie->hasSelectedText());
    EXPECT_EQ(window->Label_erreur->text(), QStringLiteral("Erreur de saisie 22")); // kept
}

TEST_F(MainWindowTest, FailingBackupsShowARedTextUntilOneSucceeds) {
    const QString volume = m_dir.filePath(QStringLiteral("volume"));
    app.session().setBackupVolume(volume); // not there yet
    const auto tickAfter = [&](int seconds) {
        time.set(time.now().addSecs(seconds));
        Timer1Tick();
    };
    tickAfter(61);
    ASSERT_EQ(dialogs.errors.size(), 1); // one box, the first time
    EXPECT_TRUE(window->Label_sauvegarde->isVisibleTo(window.get()));
    EXPECT_EQ(window->Label_sauvegarde->text(), QStringLiteral("Sauvegarde impossible"));
    tickAfter(61);
    EXPECT_EQ(dialogs.errors.size(), 1); // then the red text alone
    EXPECT_TRUE(window->Label_sauvegarde->isVisibleTo(window.get()));
    ASSERT_TRUE(QDir().mkpath(volume));
    tickAfter(61);
    EXPECT_FALSE(window->Label_sauvegarde->isVisibleTo(window.get()));
}

// Without the country table and the roster every score is wrong: the status bar says so until
// they are there.
TEST_F(MainWindowTest, AMissingCountryTableOrRosterIsSaidInTheStatusBar) {
    EXPECT_TRUE(window->Label_listes->isVisibleTo(window.get()));
    EXPECT_EQ(window->Label_listes->text(),
              QString::fromUtf8("Pas de liste des pays : les points des QSO hors continent sont "
                                "faux - Pas de liste des membres : tous les QSO sont comptés NM"));
    test::layReferenceData(m_dir.path());
    app.countries().buildCountryList(false);
    type(QStringLiteral("F5ABC"));
    EXPECT_FALSE(window->Label_listes->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, DupePanelFollowsTypingAndBandKeysStopAtTheEnds) {
    type(QStringLiteral("F4ZX"));
    enter();
    type(QStringLiteral("F4Z"));
    EXPECT_TRUE(window->Panel_dupe->isHidden());
    type(QStringLiteral("X"));
    EXPECT_FALSE(window->Panel_dupe->isHidden());
    QTest::keyClick(window->Edit_saisie, Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(window->Edit_saisie->text().isEmpty());
    EXPECT_TRUE(window->Panel_dupe->isHidden());

    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(window->Edit_saisie, Qt::Key_F1, Qt::AltModifier);
    }
    EXPECT_EQ(window->Grille_band->selected(), 0);
    EXPECT_EQ(app.session().lines().currentBand(), QStringLiteral("80"));
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(window->Edit_saisie, Qt::Key_F2, Qt::AltModifier);
    }
    EXPECT_EQ(window->Grille_band->selected(), 4);
    EXPECT_EQ(app.session().table().cell(Col::Band, app.session().table().entryRow()),
              QStringLiteral("10"));
}

TEST_F(MainWindowTest, DeferredTimeArrowsStepAndEntriesTakeConsecutiveMinutes) {
    QTest::mouseClick(window->SpeedButton_temps_differe, Qt::LeftButton);
    EXPECT_TRUE(window->DateTimePicker_time->isEnabled());
    EXPECT_FALSE(window->Timer1->isActive());
    QTest::keyClick(window->Edit_saisie, Qt::Key_Up);
    QTest::keyClick(window->Edit_saisie, Qt::Key_Down);
    EXPECT_EQ(window->DateTimePicker_time->time(), QTime(10, 0));
    for (const char* call : {"F5AAA", "F5BBB", "F5CCC"}) {
        type(QString::fromLatin1(call));
        enter();
    }
    EXPECT_EQ(app.session().table().cell(Col::Time, 1), QStringLiteral("10:00"));
    EXPECT_EQ(app.session().table().cell(Col::Time, 2), QStringLiteral("10:01"));
    EXPECT_EQ(app.session().table().cell(Col::Time, 3), QStringLiteral("10:02"));
    EXPECT_EQ(window->DateTimePicker_time->time(), QTime(10, 3));

    QTest::mouseClick(window->SpeedButton_temps_reel, Qt::LeftButton);
    EXPECT_FALSE(window->DateTimePicker_time->isEnabled());
    EXPECT_TRUE(window->Timer1->isActive());
    QTest::keyClick(window->Edit_saisie, Qt::Key_Up); // consumed, nothing else
    EXPECT_EQ(window->DateTimePicker_time->time(), QTime(10, 3));
}

TEST_F(MainWindowTest, GridKeysCompleteARowSetTheCategoryAndStoreOnEnter) {
    for (const char* call : {"F5AAA", "F5BBB"}) {
        type(QString::fromLatin1(call));
        enter();
    }
    const QByteArray before = test::readFile(app.session().contestFile().path());
    LogTable& table = app.session().table();
    // "o" in column 8 of line 1: QRO at once, the file untouched.
    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(0, 8));
    gridKey(Qt::Key_O);
    EXPECT_EQ(table.cell(Col::Category, 1), QStringLiteral("QRO"));
    EXPECT_EQ(test::readFile(app.session().contestFile().path()), before);
    // Enter on the edited row rewrites its record and moves to column 4 of the next row.
    gridKey(Qt::Key_Return);
    EXPECT_EQ(records()[0].category, QStringLiteral("QRO"));
    EXPECT_EQ(window->Grille_log->currentIndex().row(), 1);
    EXPECT_EQ(window->Grille_log->currentIndex().column(), 4);

    // Space in column 4 of the entry row completes it.
    table.setCell(Col::Call, 3, QStringLiteral("G3XYZ"));
    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(2, 4));
    gridKey(Qt::Key_Space);
    EXPECT_EQ(table.cell(Col::RstSent, 3), QStringLiteral("599"));
    EXPECT_EQ(table.cell(Col::Category, 3), QStringLiteral("QRP"));
    EXPECT_EQ(window->Grille_log->currentIndex().column(), 5);
}

TEST_F(MainWindowTest, TimeColumnShowsItsMessageAndIsNotEditable) {
    type(QStringLiteral("F5AAA"));
    enter();
    // A time cell the program makes current shows nothing; one the operator clicks shows the
    // message once.
    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(0, 3));
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(0, 4));
    const QRect cell = window->Grille_log->visualRect(window->Grille_log->model()->index(1, 3));
    QTest::mouseClick(window->Grille_log->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Pour modifier une QTR")));
    EXPECT_FALSE(window->Grille_log->model()->flags(window->Grille_log->model()->index(0, 3)) &
                 Qt::ItemIsEditable);
}

TEST_F(MainWindowTest, DeleteAndInsertAskFirstAndKeepABackup) {
    for (const char* call : {"F5AAA", "F5BBB", "F5CCC"}) {
        type(QString::fromLatin1(call));
        enter();
    }
    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(1, 4));
    dialogs.answers = {false};
    window->Effacercetteligne1->trigger();
    EXPECT_EQ(app.session().table().cell(Col::Call, 2), QStringLiteral("F5BBB"));
    dialogs.answers = {true};
    gridKey(Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(dialogs.questions.last(), QStringLiteral("Confirmez la suppression de la ligne 2"));
    EXPECT_EQ(app.session().table().cell(Col::Call, 2), QStringLiteral("F5CCC"));
    EXPECT_EQ(records().size(), 2u);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("Files/LOG.BAK"))));

    window->Grille_log->setCurrentIndex(window->Grille_log->model()->index(0, 4));
    dialogs.answers = {true};
    window->Insrerunelignevide1->trigger();
    EXPECT_TRUE(app.session().table().cell(Col::Call, 1).isEmpty());
    EXPECT_EQ(app.session().table().cell(Col::Call, 2), QStringLiteral("F5AAA"));
    EXPECT_TRUE(records()[0].isBlank());
}

TEST_F(MainWindowTest, ActivationReloadsTheFileAndGivesTheSameScore) {
    for (const char* call : {"F5AAA", "F5BBB"}) {
        type(QString::fromLatin1(call));
        enter();
    }
    const QString score = window->Label_score->text();
    app.session().table().setCell(Col::Call, 1, QStringLiteral("EDITED")); // not validated
    window->FormActivate();
    EXPECT_EQ(app.session().table().cell(Col::Call, 1), QStringLiteral("F5AAA"));
    EXPECT_EQ(window->Label_score->text(), score);
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Duruvero VED UVE, V:7.1.1.0 (%1)    Station : D4ERI")
                  .arg(QLocale::system().toString(app.session().clock().localNow().date(),
                                                  QLocale::ShortFormat)));
    // The same start date as the station window's title.
    EXPECT_TRUE(window->windowTitle().startsWith(app.stationForm().caption()));
}

} // namespace
} // namespace vu
