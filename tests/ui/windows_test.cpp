#include "app/application.h"
#include "support/test_support.h"
#include "ui/examples_window.h"
#include "ui/main_window.h"
#include "ui/program_windows.h"
#include "ui/scripted_dialogs.h"
#include "ui/station_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
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
