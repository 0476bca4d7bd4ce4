// The radio seen from the windows: the band follows a real rigctld's dial, the function keys send
// their messages (heard by a recording relay in front of the rigctld), and with no radio set up
// the keys do what they did before.
#include "app/application.h"
#include "platform/ini_file.h"
#include "platform/rig_control.h"
#include "support/rigctld.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"
#include "ui/band_selector.h"
#include "ui/main_window.h"
#include "ui/program_windows.h"
#include "ui/radio_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace vu {
namespace {

using test::waitFor;

class RadioWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::layShippedProgramFolder(m_folder);
        app = test::startOffline(m_folder, time);
        app->station().operatorCall = QStringLiteral("D4ERI");
        app->station().stationCall = QStringLiteral("D4ERI");
        app->setContestFile(m_folder + QStringLiteral("/Files/LOG.QRP"));
        app->session().contestFile().createNew(app->session().clock().localNow());
        windows = std::make_unique<ProgramWindows>(*app, dialogs);
        main().FormActivate();
    }

    MainWindow& main() { return windows->main(); }
    QString settingsPath() const { return m_folder + QStringLiteral("/Varurav_UDA.ini"); }

    // The radio window filled in as the operator would, then OK.
    void setRadioUp(const QString& port, bool cutNumbers = false) {
        RadioWindow& radio = windows->radio();
        radio.render();
        radio.Edit_recherche->setText(QStringLiteral("NET rigctl"));
        const int net = radio.ComboBox_modele->findData(kRigModelNetRigctl);
        ASSERT_GE(net, 0);
        radio.ComboBox_modele->setCurrentIndex(net);
        radio.Edit_port->setText(port);
        radio.CheckBox_radio->setChecked(true);
        radio.CheckBox_chiffres_courts->setChecked(cutNumbers);
        radio.SpinBox_wpm->setValue(26);
        QTest::mouseClick(radio.Button_ok, Qt::LeftButton);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(main().Edit_saisie, k, mods);
    }

    bool bandIs(int column) { return app->session().lines().bandIndex() == column; }

    QTemporaryDir m_dir;
    QString m_folder = m_dir.filePath(QStringLiteral("program"));
    test::FixedTime time{QDateTime(QDate(2024, 1, 20), QTime(14, 0), Qt::UTC)};
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(RadioWindowsTest, WithNoRadioSetUpTheKeysDoWhatTheyDidAndNothingIsShown) {
    EXPECT_FALSE(app->radio().link().enabled());
    EXPECT_FALSE(main().Label_frequence->isVisibleTo(&main()));
    EXPECT_FALSE(main().Label_radio->isVisibleTo(&main()));
    QTest::keyClicks(main().Edit_saisie, QStringLiteral("F5ABC"));
    const int band = app->session().lines().bandIndex();
    for (const Qt::Key k :
         {Qt::Key_F1, Qt::Key_F2, Qt::Key_F8, Qt::Key_Escape, Qt::Key_PageUp, Qt::Key_PageDown}) {
        key(k);
    }
    EXPECT_EQ(main().Edit_saisie->text(), QStringLiteral("F5ABC"));
    EXPECT_EQ(app->session().lines().bandIndex(), band);
    key(Qt::Key_F2, Qt::AltModifier); // the band keys keep their meaning
    EXPECT_EQ(app->session().lines().bandIndex(), band + 1);
    // The settings file learns of no radio.
    const auto radioSection = [&] {
        return IniFile(settingsPath()).lines().contains(QStringLiteral("[Radio]"));
    };
    EXPECT_FALSE(radioSection());
    app->saveSettings();
    EXPECT_FALSE(radioSection());
}

TEST_F(RadioWindowsTest, TheFunctionKeysSendTheirMessagesAndEscStopsThem) {
    test::Rigctld rigctld;
    test::RigRecorder recorder(rigctld.port());
    setRadioUp(recorder.address());
    ASSERT_TRUE(waitFor([&] { return app->radio().link().status().hz.has_value(); }, 5000));
    QTest::keyClicks(main().Edit_saisie, QStringLiteral("f5abc 579"));

    struct Case {
        Qt::Key key;
        const char* sent;
    };
    const Case cases[] = {
        {Qt::Key_F1, "CQ VUZ D4ERI D4ERI TEST"},
        {Qt::Key_F2, "F5ABC 579"},
        {Qt::Key_F3, "TU D4ERI"},
        {Qt::Key_F4, "D4ERI"},
        {Qt::Key_F5, "F5ABC"},
        {Qt::Key_F6, "?"},
        {Qt::Key_F7, "AGN"},
        {Qt::Key_F8, "QRL?"},
    };
    QStringList expected;
    for (const Case& c : cases) {
        key(c.key);
        expected << QString::fromLatin1(c.sent);
        EXPECT_TRUE(waitFor([&] { return recorder.morse().size() == expected.size(); }, 10000))
            << c.sent;
    }
    EXPECT_EQ(recorder.morse(), expected);
    EXPECT_EQ(main().Edit_saisie->text(), QStringLiteral("F5ABC 579")); // the entry stays

    key(Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return recorder.stops() == 1; }, 10000));

    // Shift, Ctrl and Alt with a function key send nothing: Alt+F1 is the band key.
    const int band = app->session().lines().bandIndex();
    key(Qt::Key_F1, Qt::AltModifier);
    EXPECT_EQ(app->session().lines().bandIndex(), std::max(0, band - 1));
    key(Qt::Key_F3, Qt::ShiftModifier);
    key(Qt::Key_F4); // a marker that the ones before were handled
    expected << QStringLiteral("D4ERI");
    EXPECT_TRUE(waitFor([&] { return recorder.morse().size() == expected.size(); }, 10000));
    EXPECT_EQ(recorder.morse(), expected);
}

TEST_F(RadioWindowsTest, CutNumbersAndTheSpeedKeys) {
    test::Rigctld rigctld;
    test::RigRecorder recorder(rigctld.port());
    setRadioUp(recorder.address(), true);
    ASSERT_TRUE(waitFor([&] { return app->radio().link().status().hz.has_value(); }, 5000));
    EXPECT_EQ(main().Label_vitesse_cw->text(), QStringLiteral("26 wpm"));
    QTest::keyClicks(main().Edit_saisie, QStringLiteral("F5ABC"));
    key(Qt::Key_F2);
    EXPECT_TRUE(waitFor([&] { return recorder.morse() == QStringList{"F5ABC 5NN"}; }, 10000))
        << recorder.morse().join(u'|').toStdString();

    key(Qt::Key_PageUp);
    key(Qt::Key_PageUp);
    key(Qt::Key_PageDown);
    EXPECT_EQ(main().Label_vitesse_cw->text(), QStringLiteral("28 wpm"));
    EXPECT_TRUE(waitFor(
        [&] { return !recorder.speeds().empty() && recorder.speeds().back() == 28; }, 10000));
    EXPECT_EQ(
        IniFile(settingsPath()).readInteger(QStringLiteral("Radio"), QStringLiteral("WPM"), 0), 28);
    // A save of the whole settings file keeps the radio section.
    app->saveSettings();
    EXPECT_EQ(readRadioSettings(settingsPath()), app->radio().settings());
}

TEST_F(RadioWindowsTest, TheBandFollowsTheDialAndALostRigIsShownAndFoundAgain) {
    test::Rigctld rigctld;
    ASSERT_TRUE(rigctld.setFrequency(14'025'000));
    setRadioUp(rigctld.address());
    ASSERT_TRUE(waitFor([&] { return bandIs(2); }, 10000));
    EXPECT_EQ(main().Grille_band->selected(), 2);
    EXPECT_EQ(main().Label_frequence->text(), QStringLiteral("14025.0 kHz"));

    ASSERT_TRUE(rigctld.setFrequency(3'560'000));
    EXPECT_TRUE(waitFor([&] { return bandIs(0); }, 5000));

    // Out of the contest bands: the band stays, the frequency turns red.
    ASSERT_TRUE(rigctld.setFrequency(10'116'000));
    EXPECT_TRUE(waitFor(
        [&] { return main().Label_frequence->text() == QStringLiteral("10116.0 kHz"); }, 5000));
    EXPECT_TRUE(bandIs(0));
    EXPECT_EQ(main().Label_frequence->palette().color(QPalette::WindowText), QColor(Qt::red));

    // The operator may still pick a band by hand while the dial rests.
    ASSERT_TRUE(rigctld.setFrequency(7'020'000));
    ASSERT_TRUE(waitFor([&] { return bandIs(1); }, 5000));
    key(Qt::Key_F2, Qt::AltModifier);
    EXPECT_TRUE(bandIs(2));
    QTest::qWait(700); // a reading or more on the same dial: the band he picked stays
    EXPECT_TRUE(bandIs(2));

    rigctld.stop();
    EXPECT_TRUE(waitFor(
        [&] { return main().Label_radio->text() == QStringLiteral("Radio : pas de réponse"); },
        10000));
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty()); // no box
    // Logging goes on meanwhile.
    QTest::keyClicks(main().Edit_saisie, QStringLiteral("F5ABC"));
    key(Qt::Key_Return);
    ASSERT_EQ(test::recordCalls(app->session().contestFile().path()), QStringList{"F5ABC"});

    rigctld.start();
    ASSERT_TRUE(rigctld.setFrequency(21'030'000));
    EXPECT_TRUE(waitFor([&] { return bandIs(3); }, 10000));
    EXPECT_TRUE(main().Label_radio->text().isEmpty());

    // Coming back to the main window reloads the log, which takes the band of its last line (20);
    // with the radio on, the dial's band is taken again at once.
    main().FormActivate();
    EXPECT_TRUE(bandIs(3));
}

TEST_F(RadioWindowsTest, TheRadioWindowSpeaksTheChosenLanguageAndFindsModels) {
    app->chooseLanguage(2);
    RadioWindow& radio = windows->radio();
    EXPECT_EQ(radio.windowTitle(), QStringLiteral("Radio"));
    EXPECT_EQ(radio.CheckBox_radio->text(), QStringLiteral("Radio on"));
    EXPECT_EQ(radio.Label_modele->text(), QStringLiteral("Model"));
    EXPECT_EQ(main().Radio1->text(), QStringLiteral("Radio"));
    radio.render();
    radio.Edit_recherche->setText(QStringLiteral("dummy"));
    ASSERT_GE(radio.ComboBox_modele->count(), 1);
    for (int i = 0; i < radio.ComboBox_modele->count(); ++i) {
        const QString item = radio.ComboBox_modele->itemText(i);
        EXPECT_TRUE(item.contains(QStringLiteral("dummy"), Qt::CaseInsensitive) ||
                    radio.ComboBox_modele->itemData(i).toInt() == app->radio().settings().model)
            << item.toStdString();
    }
    // Cancel forgets what was typed.
    radio.Edit_port->setText(QStringLiteral("/dev/ttyUSB9"));
    QTest::mouseClick(radio.Button_annuler, Qt::LeftButton);
    EXPECT_EQ(app->radio().settings().port, RadioSettings{}.port);
    radio.render();
    EXPECT_EQ(radio.Edit_port->text(), RadioSettings{}.port);
}

// On the real X server: the radio set up from the "Fichiers" menu, then CQ with F1, the report
// with F2, Esc, and the contact logged with Enter, the band following the dial.
TEST_F(RadioWindowsTest, OnTheDesktopAnOperatorSetsTheRadioUpAndWorksAStation) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs the real X server that scripts/test starts";
    }
    const auto focused = [](QWidget* w) {
        return QGuiApplication::focusWindow() != nullptr &&
               QGuiApplication::focusWindow() == w->windowHandle();
    };
    test::Rigctld rigctld;
    test::RigRecorder recorder(rigctld.port());
    ASSERT_TRUE(rigctld.setFrequency(7'012'000));
    windows->activation().bringForward(&main());
    ASSERT_TRUE(waitFor([&] { return focused(&main()); }));

    main().Radio1->trigger();
    RadioWindow& radio = windows->radio();
    ASSERT_TRUE(waitFor([&] { return focused(&radio); }));
    radio.Edit_recherche->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("NET rigctl"));
    radio.ComboBox_modele->setCurrentIndex(radio.ComboBox_modele->findData(kRigModelNetRigctl));
    radio.Edit_port->selectAll();
    radio.Edit_port->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), recorder.address());
    radio.CheckBox_radio->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(radio.CheckBox_radio->isChecked());
    QTest::mouseClick(radio.Button_ok, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return focused(&main()) && main().Edit_saisie->hasFocus(); }));
    ASSERT_TRUE(waitFor(
        [&] { return main().Label_frequence->text() == QStringLiteral("7012.0 kHz"); }, 5000))
        << app->radio().link().status().error.toStdString();
    EXPECT_TRUE(bandIs(1));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_TRUE(waitFor([&] { return recorder.morse().size() == 1; }, 10000));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("f5abc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    ASSERT_TRUE(waitFor([&] { return recorder.morse().size() == 2; }, 10000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return recorder.stops() == 1; }, 10000));
    EXPECT_EQ(recorder.morse(), (QStringList{"CQ VUZ D4ERI D4ERI TEST", "F5ABC 599"}));

    ASSERT_TRUE(rigctld.setFrequency(14'012'000));
    ASSERT_TRUE(waitFor([&] { return bandIs(2); }, 5000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const std::vector<Record> lines = test::lineRecords(app->session().contestFile().path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].call, QStringLiteral("F5ABC"));
    EXPECT_EQ(lines[0].band, QStringLiteral("20"));
}

} // namespace
} // namespace vu
