// The windows on a real X desktop (Xvfb with a window manager): activation, focus, modal boxes,
// dialogs and the grid's editor behave there as the operator sees them, which the offscreen
// platform does not show.
#include "app/application.h"
#include "contest_log/record_file.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/examples_window.h"
#include "ui/file_naming_window.h"
#include "ui/log_grid_delegate.h"
#include "ui/main_window.h"
#include "ui/program_windows.h"
#include "ui/report_window.h"
#include "ui/station_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace vu {
namespace {

using test::waitFor;

bool hasFocus(QWidget* window) {
    return QGuiApplication::focusWindow() != nullptr &&
           QGuiApplication::focusWindow() == window->windowHandle();
}

// Answers every modal box or dialog of the program once the window manager has given it the
// keyboard, as an operator would, and remembers what each said.
class BoxAnswerer {
public:
    // What to do with a box; the default presses Enter on its focused button.
    std::function<void(QWidget* box)> answer = [](QWidget*) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    QStringList texts;

    BoxAnswerer() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll() {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || box == m_answered || !hasFocus(box) ||
            QApplication::focusWidget() == nullptr) {
            return;
        }
        m_answered = box;
        const auto* message = qobject_cast<QMessageBox*>(box);
        texts << (message != nullptr ? message->text() : box->windowTitle());
        answer(box);
    }

    QTimer m_timer;
    QPointer<QWidget> m_answered;
};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            GTEST_SKIP() << "needs the real X server that scripts/test starts";
        }
        ASSERT_TRUE(m_dir.isValid());
        test::layShippedProgramFolder(m_folder);
        app = test::startOffline(m_folder, time);
    }

    void startWindows() { windows = std::make_unique<ProgramWindows>(*app, dialogs); }

    // The main window on a fresh log, as the file naming window's OK leaves it.
    MainWindow& startOnLog() {
        app->stationForm().setEditOp(QStringLiteral("D4ERI"));
        app->setContestFile(m_folder + QStringLiteral("/Files/LOG.QRP"));
        app->fileNaming().setEditNomFichier(QStringLiteral("LOG"));
        app->fileNaming().setEditChemin(m_folder + QStringLiteral("/Files"));
        startWindows();
        windows->fileNaming().show();
        QTest::mouseClick(windows->fileNaming().BitBtn_fichier_close, Qt::LeftButton);
        MainWindow& main = windows->main();
        EXPECT_TRUE(waitFor([&] { return hasFocus(&main); }));
        return main;
    }

    void log(MainWindow& main, const QString& line) {
        QTest::keyClicks(main.Edit_saisie, line);
        QTest::keyClick(main.Edit_saisie, Qt::Key_Return);
    }

    // Where a cell of the log grid is, in the viewport (table row).
    static QPoint cellAt(MainWindow& main, int col, int tableRow) {
        return main.Grille_log->visualRect(main.Grille_log->model()->index(tableRow - 1, col))
            .center();
    }

    // The event loop runs a while longer: what was to follow a box has happened by then.
    static void settle() { QTest::qWait(400); }

    QTemporaryDir m_dir;
    QString m_folder = m_dir.filePath(QStringLiteral("program"));
    test::FixedTime time{QDateTime(QDate(2024, 1, 20), QTime(14, 0), Qt::UTC)};
    QtDialogs dialogs;
    std::unique_ptr<Application> app;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(DesktopTest, FirstStartAsksForTheCallsignOnceAndTheOperatorCanTypeIt) {
    BoxAnswerer boxes;
    startWindows();
    windows->start();
    StationWindow& station = windows->station();
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1 && hasFocus(&station); }));
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("Saisissez votre CALL")));
    settle();
    EXPECT_EQ(boxes.texts.size(), 1) << "the message came back";
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("f1isa"));
    EXPECT_EQ(station.Edit_op->text(), QStringLiteral("F1ISA"));
}

// Opened during a contest, the station window's "Annuler" (right after OK in the keyboard order)
// discards what was typed and goes back to the contest; Enter in a field presses OK.
TEST_F(DesktopTest, TheStationWindowsAnnulerGoesBackToTheContestAndEnterPressesOk) {
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    bool quit = false;
    QObject::connect(windows.get(), &ProgramWindows::quitRequested, [&quit] { quit = true; });
    StationWindow& station = windows->station();
    EXPECT_EQ(station.Button_quit->nextInFocusChain(), station.BitBtn1);

    main.Accesficheinfos1->trigger();
    ASSERT_TRUE(waitFor([&] { return hasFocus(&station); }));
    station.Edit_nom->setFocus();
    QTest::keyClicks(station.Edit_nom, QStringLiteral("Someone"));
    QTest::mouseClick(station.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return hasFocus(&main); }));
    EXPECT_FALSE(quit);
    EXPECT_FALSE(station.isVisible());
    EXPECT_TRUE(app->stationForm().editNom().isEmpty());
    log(main, QStringLiteral("F5BBB"));
    EXPECT_EQ(test::recordCalls(app->session().contestFile().path()).at(1),
              QStringLiteral("F5BBB"));

    main.Accesficheinfos1->trigger();
    ASSERT_TRUE(waitFor([&] { return hasFocus(&station); }));
    station.Edit_nom->setFocus();
    QTest::keyClicks(station.Edit_nom, QStringLiteral("Jean"));
    QTest::keyClick(station.Edit_nom, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return hasFocus(&windows->fileNaming()); }));
    EXPECT_EQ(app->station().operatorName, QStringLiteral("Jean"));
    EXPECT_FALSE(quit);
}

TEST_F(DesktopTest, ATimeCellClickedShowsItsMessageOnceAndNoBackupRunsMeanwhile) {
    BoxAnswerer boxes;
    const QString volume = m_dir.filePath(QStringLiteral("volume"));
    ASSERT_TRUE(QDir().mkpath(volume));
    app->session().setBackupVolume(volume);
    MainWindow& main = startOnLog();
    for (const char* call : {"F5AAA", "F5BBB", "F5CCC"}) {
        log(main, QString::fromLatin1(call));
    }
    ASSERT_EQ(app->session().table().rowCount(), 5);
    QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
    const auto backups = [&] { return QDir(volume).entryList(QDir::Files).size(); };
    ASSERT_EQ(backups(), 1);

    // While the message is open, a tick a minute later does nothing.
    boxes.answer = [&](QWidget* box) {
        time.set(time.now().addSecs(120));
        QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
        EXPECT_EQ(backups(), 1) << "a backup ran inside the message box";
        QTest::keyClick(box, Qt::Key_Return);
    };
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 3, 2));
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1 && hasFocus(&main); }));
    EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("Pour modifier une QTR")));
    settle();
    EXPECT_EQ(boxes.texts.size(), 1) << "the message came back";

    // The next tick backs up the whole log.
    QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
    ASSERT_EQ(backups(), 2);
    const QStringList files = QDir(volume).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(test::recordCalls(volume + u'/' + files.last()).mid(0, 3),
              (QStringList{"F5AAA", "F5BBB", "F5CCC"}));
}

TEST_F(DesktopTest, TypingIntoAGridCellKeepsEveryCharacterThroughTheTicks) {
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    log(main, QStringLiteral("F5BBB"));
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 6, 1));
    ASSERT_TRUE(waitFor([&] { return main.Grille_log->hasFocus(); }));
    for (const char key : {'5', '7', '9'}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        time.set(time.now().addSecs(61)); // the entry row's time changes at each tick
        QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
    }
    EXPECT_EQ(app->session().table().cell(Col::RstRcvd, 1), QStringLiteral("579"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QByteArray bytes = test::readFile(app->session().contestFile().path());
    ASSERT_GE(bytes.size(), 2 * kRecordSize);
    EXPECT_EQ(decodeRecord(bytes.constData() + kRecordSize).rstRcvd, QStringLiteral("579"));
}

TEST_F(DesktopTest, AfterEnterTheGridEditorIsOpenAndTheKeyboardStaysInTheEntryField) {
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    auto* delegate = static_cast<LogGridDelegate*>(main.Grille_log->itemDelegate());
    ASSERT_TRUE(waitFor(
        [&] { return delegate->openEditor() != nullptr && delegate->openEditor()->isVisible(); }));
    EXPECT_EQ(main.Grille_log->currentIndex().row() + 1, app->session().table().entryRow());
    settle();
    EXPECT_EQ(QApplication::focusWidget(), main.Edit_saisie);
    EXPECT_TRUE(delegate->openEditor()->isVisible());
    log(main, QStringLiteral("F5BBB")); // the next QSO goes in as usual
    EXPECT_EQ(app->session().table().cell(Col::Call, 2), QStringLiteral("F5BBB"));
}

TEST_F(DesktopTest, ComingBackFromAnotherProgramKeepsACorrectionNotYetValidated) {
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 5, 1));
    for (const char key : {'3', '3', '9'}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    ASSERT_EQ(app->session().table().cell(Col::RstSent, 1), QStringLiteral("339"));

    QProcess other;
    other.start(QStringLiteral("xmessage"), {QStringLiteral("-name"), QStringLiteral("other"),
                                             QStringLiteral("another program")});
    ASSERT_TRUE(other.waitForStarted());
    QProcess::execute(QStringLiteral("xdotool"),
                      {"search", "--sync", "--classname", "other", "windowactivate", "--sync"});
    ASSERT_TRUE(waitFor([] { return QGuiApplication::focusWindow() == nullptr; }));
    main.activateWindow();
    ASSERT_TRUE(waitFor([&] { return hasFocus(&main); }));
    settle();
    other.kill();
    other.waitForFinished();

    EXPECT_EQ(app->session().table().cell(Col::RstSent, 1), QStringLiteral("339"))
        << "the log was reloaded";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QByteArray bytes = test::readFile(app->session().contestFile().path());
    EXPECT_EQ(decodeRecord(bytes.constData() + kRecordSize).rstSent, QStringLiteral("339"));
}

TEST_F(DesktopTest, AFailedStoreLeavesTheLineInTheEntryRowAfterTheErrorBox) {
    BoxAnswerer boxes;
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    ASSERT_TRUE(QDir(m_folder + QStringLiteral("/Files")).removeRecursively());
    log(main, QStringLiteral("F5BBB 5 7"));
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1 && hasFocus(&main); }));
    settle();
    EXPECT_EQ(main.Edit_saisie->text(), QStringLiteral("F5BBB 5 7"));
    EXPECT_EQ(app->session().table().cell(Col::Call, app->session().table().entryRow()),
              QStringLiteral("F5BBB"));
}

TEST_F(DesktopTest, TheRightClickMenuActsOnTheLineClicked) {
    BoxAnswerer boxes;
    boxes.answer = [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }; // No
    MainWindow& main = startOnLog();
    for (const char* call : {"F5AAA", "F5BBB", "F5CCC"}) {
        log(main, QString::fromLatin1(call));
    }
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 4, 2));
    const QPoint row1 = cellAt(main, 6, 1);
    QTest::mousePress(main.Grille_log->viewport(), Qt::RightButton, {}, row1);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, row1,
                                main.Grille_log->viewport()->mapToGlobal(row1));
    QApplication::sendEvent(main.Grille_log->viewport(), &menuEvent);
    QTest::mouseRelease(main.Grille_log->viewport(), Qt::RightButton, {}, row1);
    ASSERT_TRUE(waitFor([&] { return main.PopupMenu1->isVisible(); }));
    EXPECT_EQ(main.Grille_log->currentIndex().row() + 1, 1);
    main.PopupMenu1->close();
    main.Effacercetteligne1->trigger();
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1; }));
    EXPECT_EQ(boxes.texts[0], QStringLiteral("Confirmez la suppression de la ligne 1"));
    main.Insrerunelignevide1->trigger();
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 2; }));
    EXPECT_EQ(boxes.texts[1], QStringLiteral("Confirmez l'insertion d'une ligne avant la ligne 1"));
    EXPECT_EQ(test::recordCalls(app->session().contestFile().path()).at(0),
              QStringLiteral("F5AAA")); // both answered No
}

// After a correction validated in the grid the next call typed goes to the entry line, and
// Escape in the grid's editor gives the cell back what it held.
TEST_F(DesktopTest, AfterAGridCorrectionTheKeyboardIsInTheEntryLineAndEscapeUndoesAnEdit) {
    MainWindow& main = startOnLog();
    for (const char* call : {"F5AAA", "F5BBB", "F5CCC"}) {
        log(main, QString::fromLatin1(call));
    }
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 6, 1));
    ASSERT_TRUE(waitFor([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("579"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == main.Edit_saisie; }));
    settle();
    EXPECT_EQ(QApplication::focusWidget(), main.Edit_saisie);
    log(main, QStringLiteral("HA5AA"));
    const QStringList calls = test::recordCalls(app->session().contestFile().path());
    EXPECT_EQ(calls.mid(0, 4), (QStringList{"F5AAA", "F5BBB", "F5CCC", "HA5AA"}));
    EXPECT_EQ(test::lineRecords(app->session().contestFile().path())[0].rstRcvd,
              QStringLiteral("579"));

    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 4, 2));
    ASSERT_TRUE(waitFor([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("XX"));
    ASSERT_EQ(app->session().table().cell(Col::Call, 2), QStringLiteral("XX"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(app->session().table().cell(Col::Call, 2), QStringLiteral("F5BBB"));
    EXPECT_FALSE(app->session().hasPendingCorrections());

    // The time-mode buttons take no focus: the keyboard goes back to the entry line.
    QTest::mouseClick(main.Grille_log->viewport(), Qt::LeftButton, {}, cellAt(main, 5, 2));
    QTest::mouseClick(main.SpeedButton_temps_reel, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), main.Edit_saisie);
}

// In deferred time one click into the time editor and the digits typed set the time.
TEST_F(DesktopTest, TheDeferredTimeEditorsTakeDigitsAfterOneClick) {
    BoxAnswerer boxes; // the deferred-time notice
    MainWindow& main = startOnLog();
    QTest::mouseClick(main.SpeedButton_temps_differe, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1 && hasFocus(&main); }));
    settle();
    QTimeEdit* editor = main.DateTimePicker_time;
    ASSERT_TRUE(editor->isEnabled());
    // Where a click lands: the editor's line.
    auto* line = editor->findChild<QLineEdit*>();
    QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(4, line->height() / 2));
    ASSERT_TRUE(waitFor([&] { return editor->hasFocus(); }));
    // The part under the mouse is selected, ready to be typed over.
    ASSERT_TRUE(waitFor([&] { return line->hasSelectedText(); }));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0742"));
    EXPECT_EQ(editor->time(), QTime(7, 42));
    EXPECT_EQ(app->session().clock().pickerTime(), QTime(7, 42));
}

TEST_F(DesktopTest, EveryBoxSpeaksTheInterfaceLanguage) {
    QStringList buttons;
    BoxAnswerer boxes;
    boxes.answer = [&](QWidget* box) {
        for (const QAbstractButton* b : static_cast<QMessageBox*>(box)->buttons()) {
            buttons << b->text();
        }
        QTest::keyClick(box, Qt::Key_Escape);
    };
    MainWindow& main = startOnLog();
    log(main, QStringLiteral("F5AAA"));
    main.Effacercetteligne1->trigger();
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1; }));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Oui")) &&
                buttons.contains(QStringLiteral("&Non")))
        << buttons.join(u' ').toStdString();
    buttons.clear();
    main.Anglais1->trigger();
    main.Effacercetteligne1->trigger();
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 2; }));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Yes")) && buttons.contains(QStringLiteral("&No")))
        << buttons.join(u' ').toStdString();
    EXPECT_EQ(windows->report().findChild<QPushButton*>(QStringLiteral("BitBtn_annuler"))->text(),
              QStringLiteral("Cancel"));
}

TEST_F(DesktopTest, AFilePickedWithFichierIsOpenedAsPickedAndTheFolderDialogReactivates) {
    // A rotating backup to take up the log from.
    const QString sav = m_folder + QStringLiteral("/Files/LOG.QRP_01.sav");
    app->stationForm().setEditOp(QStringLiteral("D4ERI"));
    startWindows();
    FileNamingWindow& naming = windows->fileNaming();
    windows->activation().bringForward(&naming);
    ASSERT_TRUE(waitFor([&] { return hasFocus(&naming); }));

    // The folder dialog, cancelled: its closing activates the window, which shows the name in
    // memory again instead of what was typed.
    BoxAnswerer boxes;
    boxes.answer = [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); };
    const QString proposed = naming.Edit_nom_fichier->text();
    ASSERT_TRUE(proposed.startsWith(QStringLiteral("ZIV_URU_2024@")));
    naming.Edit_nom_fichier->setText(QStringLiteral("TYPED"));
    QTest::mouseClick(naming.Button_emplacement, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 1 && hasFocus(&naming); }));
    ASSERT_TRUE(waitFor([&] { return naming.Edit_nom_fichier->text() != "TYPED"; }));
    EXPECT_EQ(naming.Edit_nom_fichier->text(), proposed);

    // The file-open dialog: the picked name stays, extension and all.
    app->setContestFile(sav);
    app->session().contestFile().createNew(app->session().clock().localNow());
    boxes.answer = [&](QWidget*) {
        QTest::keyClicks(QApplication::focusWidget(), sav); // typed into the name field
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    QTest::mouseClick(naming.Button_nom_fichier, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return boxes.texts.size() == 2 && hasFocus(&naming); }));
    settle();
    EXPECT_EQ(naming.Edit_nom_fichier->text(), QStringLiteral("LOG.QRP_01.sav"));
    QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
    EXPECT_EQ(app->session().contestFile().path(), sav);
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// Every window inside the available area of the screen, whatever its size: the stored or
// default place is moved in and a window too large is shrunk. Run at several screen sizes by
// scripts/test.
class ScreenFitTest : public ::testing::TestWithParam<bool> {};

TEST_P(ScreenFitTest, EveryWindowLiesInsideTheScreen) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs the real X server that scripts/test starts";
    }
    const bool beyond = GetParam(); // places stored on a larger or second screen now gone
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("program"));
    test::layShippedProgramFolder(folder);
    test::FixedTime time(QDateTime(QDate(2024, 1, 20), QTime(14, 0), Qt::UTC));
    Application app({folder, &time, false, {}});
    app.startUp();
    const ScreenLayout defaults;
    if (beyond) {
        for (int w = 0; w < kAppWindows; ++w) {
            app.layout().windows[w].left = 2500;
            app.layout().windows[w].top = 1400;
        }
    }
    test::ScriptedDialogs dialogs;
    ProgramWindows windows(app, dialogs);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const bool roomy = area.width() >= 1600 && area.height() >= 1200;
    const std::pair<QWidget*, AppWindow> all[] = {{&windows.main(), AppWindow::Main},
                                                  {&windows.station(), AppWindow::Station},
                                                  {&windows.fileNaming(), AppWindow::FileNaming},
                                                  {&windows.examples(), AppWindow::Examples},
                                                  {&windows.report(), AppWindow::ReportMail}};
    for (const auto& [window, which] : all) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        // Once the window manager has framed it.
        ASSERT_TRUE(waitFor([&] { return window->frameGeometry() != window->geometry(); }));
        QTest::qWait(100);
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << "frame " << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
            << window->frameGeometry().width() << "x" << window->frameGeometry().height()
            << " outside " << area.width() << "x" << area.height();
        if (roomy && !beyond) {
            const WindowPlacement& p = defaults.windows[static_cast<int>(which)];
            EXPECT_EQ(window->pos(), QPoint(p.left, p.top)) << "moved on a screen that holds it";
            EXPECT_EQ(window->size(), QSize(p.width, p.height));
        }
        window->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(StoredOrDefault, ScreenFitTest, ::testing::Bool());

} // namespace
} // namespace vu
