#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "setup/radio_settings.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class RadioSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QTemporaryDir m_dir;
    QString path = m_dir.filePath(QStringLiteral("Varurav_UDA.ini"));
};

TEST_F(RadioSettingsTest, AFileWithoutTheSectionGivesTheRadioOffAndTheContestMessages) {
    test::writeFile(path, cp1252Lines({"[Langue]", "LNG=2"}));
    const RadioSettings s = readRadioSettings(path);
    EXPECT_EQ(s, RadioSettings{});
    EXPECT_FALSE(s.enabled);
    EXPECT_EQ(s.messages.at(0), QStringLiteral("CQ VUZ {MYCALL} {MYCALL} TEST"));
    EXPECT_EQ(s.messages.at(1), QStringLiteral("{CALL} {RST}"));
    EXPECT_EQ(s.messages.at(7), QStringLiteral("QRL?"));
    EXPECT_EQ(readRadioSettings(m_dir.filePath(QStringLiteral("missing.ini"))), RadioSettings{});
}

TEST_F(RadioSettingsTest, StoredValuesComeBackAndTheFilesOtherLinesStay) {
    const QStringList before = {"; kept", "[Langue]", "LNG=3", "[VGlobales]", "OPERATOR=D4ERI"};
    test::writeFile(path, cp1252Lines(before));
    RadioSettings s;
    s.enabled = true;
    s.model = 1035;
    s.port = QStringLiteral("/dev/ttyUSB0");
    s.serialSpeed = 38400;
    s.wpm = 30;
    s.cutNumbers = true;
    s.messages.at(5) = QStringLiteral("QRZ? {MYCALL}");
    writeRadioSettings(path, s);
    EXPECT_EQ(readRadioSettings(path), s);
    const IniFile ini(path);
    EXPECT_EQ(ini.lines().mid(0, before.size()), before);
    EXPECT_EQ(ini.readString(QStringLiteral("Radio"), QStringLiteral("F6")),
              QStringLiteral("QRZ? {MYCALL}"));
}

TEST_F(RadioSettingsTest, ValuesOutOfRangeFallBack) {
    struct Case {
        const char* line;
        int model;
        int serialSpeed;
        int wpm;
    };
    const RadioSettings d;
    const Case cases[] = {
        {"WPM=200", d.model, 0, RadioSettings::kMaxWpm},
        {"WPM=1", d.model, 0, RadioSettings::kMinWpm},
        {"WPM=fast", d.model, 0, d.wpm},
        {"MODELE=-4", d.model, 0, d.wpm},
        {"MODELE=abc", d.model, 0, d.wpm},
        {"VITESSE_PORT=-9600", d.model, 0, d.wpm},
    };
    for (const Case& c : cases) {
        test::writeFile(path, cp1252Lines({"[Radio]", c.line}));
        const RadioSettings s = readRadioSettings(path);
        EXPECT_EQ(s.model, c.model) << c.line;
        EXPECT_EQ(s.serialSpeed, c.serialSpeed) << c.line;
        EXPECT_EQ(s.wpm, c.wpm) << c.line;
    }
}

TEST_F(RadioSettingsTest, PageKeysMoveTheSpeedByTwoWithinBounds) {
    RadioSettings s;
    s.wpm = 24;
    EXPECT_EQ(s.stepWpm(+1), 26);
    EXPECT_EQ(s.stepWpm(-1), 22);
    s.wpm = RadioSettings::kMaxWpm - 1;
    EXPECT_EQ(s.stepWpm(+1), RadioSettings::kMaxWpm);
    s.wpm = RadioSettings::kMinWpm;
    EXPECT_EQ(s.stepWpm(-1), RadioSettings::kMinWpm);
}

TEST_F(RadioSettingsTest, ARefusedWriteNamesTheFile) {
    const QString folder = m_dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folder)); // a folder where the file should be
    try {
        writeRadioSettings(folder, RadioSettings{});
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(folder)) << e.message().toStdString();
    }
}

} // namespace
} // namespace vu
