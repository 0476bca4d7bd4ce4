#include "platform/program_folder.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

constexpr QFileDevice::Permissions kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadGroup | QFile::ExeGroup |
                                                     QFile::ReadOther | QFile::ExeOther;
constexpr QFileDevice::Permissions kOpenFolder =
    kReadOnlyFolder | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

// An install under a prefix: the programs' folder bin/ and the shipped files in
// share/varurav-uda, as `cmake --install` lays them.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QFile::setPermissions(m_root.path(), kOpenFolder));
        ASSERT_TRUE(QDir().mkpath(bin));
        ASSERT_TRUE(QDir().mkpath(share + "/Lng"));
        test::writeFile(share + "/SMTP.csv", "orange;smtp.orange.fr;25\r\n");
        test::writeFile(share + "/Lng/F_F_ZUZUDER.ini", "[TForm_main]\r\n");
        test::writeFile(share + "/Lng/F_EN_ZUZUDER.ini", "[TForm_main]\r\n");
        test::writeFile(share + "/VARURAV_UDA_FR.html", "<html>guide</html>");
        test::writeFile(share + "/VARURAV_UDA_EN.html", "<html>guide</html>");
    }

    // Resolves the program folder as an unprivileged user facing a read-only bin/.
    QString resolveInstalled() {
        EXPECT_TRUE(QFile::setPermissions(bin, kReadOnlyFolder));
        test::AsUnprivilegedUser user;
        return resolveProgramFolder(bin, user_);
    }

    QTemporaryDir m_root;
    const QString bin = m_root.filePath("prefix/bin");
    const QString share = m_root.filePath("prefix/share/varurav-uda");
    const QString user_ = m_root.filePath("home/.local/share/VARURAV_UDA");
};

TEST_F(ProgramFolderTest, AWritableProgramFolderIsUsedAsItIs) {
    EXPECT_EQ(resolveProgramFolder(bin, user_), bin);
    EXPECT_FALSE(QFileInfo::exists(user_));
}

TEST_F(ProgramFolderTest, AnInstallSeedsThePerUserFolderWithTheSharedFiles) {
    ASSERT_EQ(resolveInstalled().toStdString(), user_.toStdString());
    for (const char* name : {"SMTP.csv", "Lng/F_F_ZUZUDER.ini", "Lng/F_EN_ZUZUDER.ini",
                             "VARURAV_UDA_FR.html", "VARURAV_UDA_EN.html"}) {
        EXPECT_EQ(test::readFile(user_ + "/" + name), test::readFile(share + "/" + name)) << name;
    }
    EXPECT_TRUE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(ProgramFolderTest, ALaterStartKeepsTheOperatorsFilesAndBringsNewGuides) {
    ASSERT_EQ(resolveInstalled().toStdString(), user_.toStdString());
    test::writeFile(user_ + "/SMTP.csv", "mine;smtp.example.org;587\r\n");
    test::writeFile(user_ + "/Lng/F_F_ZUZUDER.ini", "[TForm_main]\r\nmine=1\r\n");
    test::writeFile(share + "/VARURAV_UDA_EN.html", "<html>new guide</html>");
    test::writeFile(share + "/Lng/F_I_ZUZUDER.ini", "[TForm_main]\r\n");

    ASSERT_EQ(resolveInstalled().toStdString(), user_.toStdString());
    EXPECT_EQ(test::readFile(user_ + "/SMTP.csv"), "mine;smtp.example.org;587\r\n");
    EXPECT_EQ(test::readFile(user_ + "/Lng/F_F_ZUZUDER.ini"), "[TForm_main]\r\nmine=1\r\n");
    EXPECT_EQ(test::readFile(user_ + "/Lng/F_I_ZUZUDER.ini"), "[TForm_main]\r\n");
    EXPECT_EQ(test::readFile(user_ + "/VARURAV_UDA_EN.html"), "<html>new guide</html>");
}

} // namespace
} // namespace vu
