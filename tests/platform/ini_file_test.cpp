#include "platform/errors.h"
#include "platform/ini_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace vu {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // Writes `text` (UTF-8 here, Windows-1252 on disk, lines joined with CR LF) and reads it.
    IniFile make(const QByteArray& cp1252Bytes) {
        test::writeFile(path(), cp1252Bytes);
        return IniFile(path());
    }
    [[nodiscard]] QString path() const { return m_dir.filePath("test.ini"); }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, ReadsValuesAsThePrivateProfileServicesDo) {
    const IniFile ini = make("; comment\r\n"
                             "orphan=before any section\r\n"
                             "[Main]\r\n"
                             "Plain=value\r\n"
                             "  Spaced  =   padded value  \t\r\n"
                             "Quoted=\"   three blanks\"\r\n"
                             "Single='x'\r\n"
                             "Unpaired=\"abc\r\n"
                             "Twice=\"\"inner\"\"\r\n"
                             "Empty=\r\n"
                             "NoEquals\r\n"
                             "Plain=second\r\n"
                             "Accent=\xE9t\xE9 \x80\r\n"
                             "[main]\r\n"
                             "Other=in a second section of the same name\r\n"
                             "[Next]\n"
                             "Lf=line ends with LF only\n");
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Main", "Plain", "value"}, // first of two equal keys
        {"MAIN", "plain", "value"}, // names ignore case
        {"Main", "spaced", "padded value"},
        {"Main", "Quoted", "   three blanks"},
        {"Main", "Single", "x"},
        {"Main", "Unpaired", "\"abc"},
        {"Main", "Twice", "\"inner\""}, // one pair only
        {"Main", "Empty", ""},
        {"Main", "NoEquals", "<default>"},
        {"Main", "Other", "<default>"}, // only the first section of a name counts
        {"Main", "Accent", "été €"},
        {"Main", "orphan", "<default>"},
        {"Missing", "Plain", "<default>"},
        {"Next", "Lf", "line ends with LF only"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, LongValuesAreCutAtTheReadBuffer) {
    const QByteArray longValue(3000, 'a');
    const IniFile ini = make("[S]\r\nK=" + longValue + "\r\n");
    EXPECT_EQ(ini.readString("S", "K").size(), IniFile::kMaxValueLength);
}

TEST_F(IniFileTest, IntegersAreDecimalOrHexElseTheDefault) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"950", 950},
        {"  12 ", 12},
        {"-40", -40},
        {"+7", 7},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$FF", 255},
        {"-$10", -16},
        {"0", 0},
        {"", -1},
        {"12abc", -1},
        {"1.5", -1},
        {"abc", -1},
        {"0x", -1},
        {"$", -1},
        {"-", -1},
        {"2147483647", 2147483647},
        {"2147483648", -1},
        {"-2147483648", INT_MIN},
        {"99999999999999999999", -1},
    };
    for (const Case& c : cases) {
        const IniFile ini = make(QByteArray("[S]\r\nK=") + c.text + "\r\n");
        EXPECT_EQ(ini.readInteger("S", "K", -1), c.expected) << c.text;
    }
    EXPECT_EQ(make("").readInteger("S", "K", 13), 13);
}

TEST_F(IniFileTest, WritesReplaceInPlaceAppendToTheSectionAndKeepOtherLines) {
    IniFile ini = make("; settings of the station\r\n"
                       "[Windows]\r\n"
                       "f1w=950\r\n"
                       "; a note the operator wrote\r\n"
                       "Unknown=kept\r\n"
                       "\r\n"
                       "[Langue]\r\n"
                       "LNG=1\r\n");
    ini.writeInteger("Windows", "F1W", 1024);
    ini.writeInteger("WINDOWS", "F1T", 10);
    ini.writeString("Langue", "LNG", "2");
    ini.writeString("OP", "NAME", "Éric\r\nmultiline");
    ini.save();

    EXPECT_EQ(test::readFile(path()), QByteArray("; settings of the station\r\n"
                                                 "[Windows]\r\n"
                                                 "f1w=1024\r\n"
                                                 "; a note the operator wrote\r\n"
                                                 "Unknown=kept\r\n"
                                                 "F1T=10\r\n"
                                                 "\r\n"
                                                 "[Langue]\r\n"
                                                 "LNG=2\r\n"
                                                 "[OP]\r\n"
                                                 "NAME=\xC9ric  multiline\r\n"));
    const IniFile again(path());
    EXPECT_EQ(again.readInteger("Windows", "F1W", 0), 1024);
    EXPECT_EQ(again.readString("op", "name"), QStringLiteral("Éric  multiline"));
}

TEST_F(IniFileTest, AMissingFileReadsEmptyAndIsCreatedBySave) {
    IniFile ini(m_dir.filePath("new.ini"));
    EXPECT_EQ(ini.readString("S", "K", "d"), QStringLiteral("d"));
    ini.writeString("S", "K", "v");
    ini.save();
    EXPECT_EQ(test::readFile(m_dir.filePath("new.ini")), QByteArray("[S]\r\nK=v\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"new.ini"});
}

TEST_F(IniFileTest, ARefusedSaveNamesTheFileAndLeavesTheOldOneWhole) {
    const QString folder = m_dir.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/Varurav_UDA.ini";
    test::writeFile(file, "[S]\r\nK=old\r\n");
    IniFile ini(file);
    ini.writeString("S", "K", "new");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    {
        const test::AsUnprivilegedUser unprivileged;
        try {
            ini.save();
            ADD_FAILURE() << "save into a read-only folder succeeded";
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Impossible d'écrire dans ") + file);
        }
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(test::readFile(file), QByteArray("[S]\r\nK=old\r\n"));
}

// A file that could not be read holds values, comments and keys the defaults would replace; a
// read-only file is the operator's word that it stays as it is. Neither is saved over, although
// the folder would let a new file take its name.
TEST_F(IniFileTest, AFileThatCouldNotBeReadOrIsReadOnlyIsNotSavedOver) {
    const QByteArray old = "; my station\r\n[S]\r\nK=old\r\nMINE=1\r\n";
    struct Case {
        const char* what;
        QFile::Permissions permissions;
        bool unprivileged; // file permissions do not hold back root
    };
    const Case cases[] = {
        {"unreadable", QFile::WriteOwner | QFile::WriteOther, true},
        {"read-only", QFile::ReadOwner | QFile::ReadOther, false},
        {"read-only for its reader", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther, true},
    };
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), open));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeFile(path(), old);
        ASSERT_TRUE(QFile::setPermissions(path(), c.permissions));
        {
            std::optional<test::AsUnprivilegedUser> unprivileged;
            if (c.unprivileged) {
                unprivileged.emplace();
            }
            IniFile ini(path());
            ini.writeString("S", "K", "new");
            try {
                ini.save();
                ADD_FAILURE() << "saved over the file";
            } catch (const AppError& e) {
                EXPECT_EQ(e.message(), QStringLiteral("Impossible d'écrire dans ") + path());
            }
        }
        ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
        EXPECT_EQ(test::readFile(path()), old);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"test.ini"});
    }
}

} // namespace
} // namespace vu
