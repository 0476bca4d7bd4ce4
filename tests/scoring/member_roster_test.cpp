#include "platform/cp1252.h"
#include "platform/errors.h"
#include "scoring/member_roster.h"
#include "support/https_server.h"
#include "support/test_support.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace vu {
namespace {

// A program folder whose roster folder holds the given roster.
class RosterFolder {
public:
    explicit RosterFolder(const std::optional<QByteArray>& roster = std::nullopt,
                          const QString& name = "VUZ_adar_2021.csv") {
        EXPECT_TRUE(m_dir.isValid());
        EXPECT_TRUE(QDir(m_dir.path()).mkpath("Fichiers_BD"));
        if (roster) {
            write(*roster, name);
        }
    }
    void write(const QByteArray& roster, const QString& name = "VUZ_adar_2021.csv") const {
        test::writeFile(m_dir.filePath("Fichiers_BD/" + name), roster);
    }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString rosterFile() const {
        return m_dir.filePath("Fichiers_BD/VUZ_adar_2021.csv");
    }

private:
    QTemporaryDir m_dir;
};

const MemberResult kNonMember;

TEST(BaseCallsign, DropsPortableSuffixesAndCountryPrefixes) {
    const std::pair<QString, QString> cases[] = {
        {"D4ERI", "D4ERI"},
        {"D4ERI/P", "D4ERI"},
        {"DL/D4ERI", "D4ERI"},
        {"DL/D4ERI/P", "D4ERI"},
        {"D4ERI/QRP", "D4ERI"},
        {"D4ERI/MM", "D4ERI"},
        {"D4ERI/A", "D4ERI"},
        {"D4ERI/PM", "D4ERI"},
        {"D4ERI/7", "7"},
        {"DL/D4ERI/7", "D4ERI/7"},
        {"F/N1ABC", "F"},
        {"d4eri/p", "p"},
        {"", ""},
        {"/", ""},
        {"D4ERI/", ""},
    };
    for (const auto& [call, base] : cases) {
        EXPECT_EQ(baseCallsign(call), base) << call.toStdString();
    }
}

TEST(MemberRoster, LooksCallsignsUpWithTheFieldRules) {
    const QByteArray roster = "Indicatif,Numero,Prenom,Adhesion\r\n"
                              "D4ERI,12,\xC9ric,2001\r\n"
                              "F5ABC,34,Jean\r\n"
                              "F6XYZ,56\r\n"
                              " DL1AA , 78 , Hans ,x\r\n"
                              "f4low,90,Low,x\r\n"
                              "D4ERI,99,Second,x\r\n"
                              "\r\n"
                              ",5,Nobody,x\r\n"
                              "G4ABC,7,Tom\x9A,x\r\n";
    for (const QByteArray& bytes : {roster, test::withLf(roster)}) {
        RosterFolder folder(bytes);
        MemberRoster members(folder.path());
        const std::pair<QString, MemberResult> cases[] = {
            {"D4ERI", {"D4ERI", "12", QString::fromUtf8("Éric")}},
            {"D4ERI/P", {"D4ERI", "12", QString::fromUtf8("Éric")}},
            {"DL/D4ERI", {"D4ERI", "12", QString::fromUtf8("Éric")}},
            {"d4eri/QRP", {"D4ERI", "12", QString::fromUtf8("Éric")}},
            {" D4ERI ", {"D4ERI", "12", QString::fromUtf8("Éric")}},
            {"F5ABC", {"F5ABC", "34", ""}}, // no separator after the first name
            {"F6XYZ", {"F6XYZ", "", ""}},   // a member without a number is no "NM"
            {"DL1AA", {" DL1AA ", "78", "Hans"}},
            {"G4ABC", {"G4ABC", "7", QString::fromUtf8("Tomš")}},
            {"F4LOW", kNonMember},     // a roster callsign in lower case never matches
            {"Indicatif", kNonMember}, // the header is no member
            {"X1XXX", kNonMember},
            {"", kNonMember},
            {"D4ERI/", kNonMember}, // nothing left of the callsign: nobody
        };
        for (const auto& [call, expected] : cases) {
            EXPECT_EQ(members.lookUpMember(call), expected) << call.toStdString();
        }
    }
}

TEST(MemberRoster, TheSeparatorTurnsToSemicolonForGood) {
    struct Case {
        QByteArray roster;
        QString call;
        QString number;
    };
    const Case cases[] = {
        {"D4ERI;12;Eric;x\r\nF5ABC;34;Jean;x\r\n", "D4ERI", "12"},
        {"D4ERI;12;Eric;x\r\nF5ABC;34;Jean;x\r\n", "F5ABC", "34"},
        {"D4ERI,12,Eric,x\r\nF5ABC;34;Jean;x\r\nF6XYZ,56,Paul,x\r\n", "D4ERI", "12"},
        {"D4ERI,12,Eric,x\r\nF5ABC;34;Jean;x\r\nF6XYZ,56,Paul,x\r\n", "F5ABC", "34"},
        {"D4ERI,12,Eric,x\r\nF5ABC;34;Jean;x\r\nF6XYZ,56,Paul,x\r\n", "F6XYZ", "NM"},
        {"D4ERI,12,Eric,x\r\nF5ABC;34;Jean;x\r\nG4ABC;7,8;Ann;x\r\n", "G4ABC", "7,8"},
        // A blank line holds nothing and leaves the separator alone.
        {"D4ERI,12,Eric,x\r\n\r\n   \r\nF6XYZ,56,Paul,x\r\n", "F6XYZ", "56"},
    };
    for (const Case& c : cases) {
        RosterFolder folder(c.roster);
        MemberRoster members(folder.path());
        EXPECT_EQ(members.lookUpMember(c.call).number, c.number)
            << c.roster.toStdString() << c.call.toStdString();
    }
}

TEST(MemberRoster, TheRealRosterAndItsChangesOnDisk) {
    RosterFolder folder(test::readFile(test::fixture("roster_sample.csv")));
    MemberRoster members(folder.path());
    EXPECT_EQ(members.lookUpMember("D8ADO/P"), (MemberResult{"D8ADO", "1", "Club"}));
    EXPECT_EQ(members.lookUpMember("9A7EXT").firstName, QString::fromUtf8("Tomáš"));
    EXPECT_EQ(members.index().size(), 1501); // the header line is read like any other

    folder.write("D8ADO,2,Other,x\r\n");
    EXPECT_EQ(members.lookUpMember("D8ADO").number, "2");
    ASSERT_TRUE(QFile::remove(folder.rosterFile()));
    EXPECT_FALSE(members.exists());
    EXPECT_EQ(members.lookUpMember("D8ADO"), kNonMember);
    EXPECT_TRUE(members.fileDateText().isEmpty());

    // Whatever the case of its name on disk.
    folder.write("D8ADO,3,Club,x\r\n", "vuz_ADAR_2021.CSV");
    EXPECT_EQ(members.lookUpMember("D8ADO").number, "3");
    EXPECT_TRUE(members.rosterPath().endsWith("/Fichiers_BD/vuz_ADAR_2021.CSV"));
    EXPECT_EQ(members.fileDateText(), QDate::currentDate().toString("dd/MM/yyyy"));
}

TEST(MemberRoster, AnUnreadableRosterIsAFileError) {
    RosterFolder folder("D8ADO,1,Club,x\r\n");
    for (const QString& dir : {folder.path(), folder.path() + "/Fichiers_BD"}) {
        ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                   QFileDevice::ExeOther));
    }
    ASSERT_TRUE(QFile::setPermissions(folder.rosterFile(), QFileDevice::WriteOwner));
    MemberRoster members(folder.path());
    test::AsUnprivilegedUser nobody;
    EXPECT_THROW((void)members.lookUpMember("D8ADO"), IoError);
}

TEST(MemberRoster, BadRostersGiveNonMembersWithoutACrash) {
    const QByteArray real = test::readFile(test::fixture("roster_sample.csv"));
    const QByteArray binary = test::randomBytes(64 * 1024, 7);
    struct Case {
        const char* what;
        QByteArray roster;
        bool firstMemberFound;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"truncated", real.left(real.size() / 2), true},
        {"binary", binary, false},
        {"one very long line", QByteArray(4 * 1024 * 1024, 'D'), false},
        {"very long field", "D8ADO,1," + QByteArray(1 << 20, 'x') + ",x\r\n", true},
        {"no separator", QByteArray(real).replace(',', ' '), false},
    };
    for (const Case& c : cases) {
        for (const QByteArray& roster : {c.roster, test::withLf(c.roster)}) {
            SCOPED_TRACE(c.what);
            RosterFolder folder(roster);
            MemberRoster members(folder.path());
            EXPECT_EQ(members.lookUpMember("D8ADO").number == "1", c.firstMemberFound);
            for (const QString& call : QStringList{"", "/", "RU6SQZ", QString(100000, u'D')}) {
                (void)members.lookUpMember(call);
            }
        }
    }
}

class RosterUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start()) << m_server.error().toStdString();
        m_sources = m_server.sources();
    }

    test::LocalHttpsServer m_server;
    ReferenceSources m_sources;
};

TEST_F(RosterUpdateTest, ASuccessfulUpdateReplacesTheRosterInUse) {
    m_server.serve("/Concours/VUZ_adar_2021.csv", "D8ADO,1,Club,x\r\nD4ERI,12,Eric,x\r\n");
    RosterFolder folder("D8ADO,1,Club,x\r\n");
    MemberRoster members(folder.path());
    members.setSources(m_sources);
    ASSERT_EQ(members.lookUpMember("D4ERI"), kNonMember);

    EXPECT_TRUE(members.checkInternetConnection());
    const RosterUpdate update = members.updateRoster();
    EXPECT_EQ(update.outcome, RosterUpdate::Outcome::Updated);
    EXPECT_EQ(update.infoText, QString::fromUtf8("Mise à jour réussie"));
    EXPECT_EQ(update.dateText, "Date MAJ fichier : " + QDate::currentDate().toString("dd/MM/yyyy"));
    EXPECT_FALSE(update.showNoDatabase);
    EXPECT_EQ(members.lookUpMember("D4ERI").number, "12");
}

TEST_F(RosterUpdateTest, AFailedUpdateKeepsTheOldRoster) {
    const QByteArray old = "D8ADO,1,Club,x\r\n";
    struct Case {
        const char* what;
        QString server;
        RosterUpdate::Outcome outcome;
        QString text;
    };
    const Case cases[] = {
        {"missing on the server", m_server.url(), RosterUpdate::Outcome::Failed,
         QString::fromUtf8("La MAJ a échoué; vous utilisez une ancienne base de données")},
        {"no server", test::refusingUrl(), RosterUpdate::Outcome::NoConnection,
         " Pas de connexion Internet"},
        // A 200 answer carrying a web page, or half the roster cut when the connection closed.
        {"a web page", m_server.url() + "/page", RosterUpdate::Outcome::Failed,
         QString::fromUtf8("Le fichier reçu n'est pas une liste de membres")},
        {"cut without a length", m_server.url() + "/cut/full", RosterUpdate::Outcome::Failed,
         QString::fromUtf8("La MAJ a échoué; vous utilisez une ancienne base de données")},
    };
    m_server.serve("/page/Concours/VUZ_adar_2021.csv",
                   "<!DOCTYPE html>\r\n<html><body>Maintenance</body></html>\r\n");
    m_server.serve("/full/Concours/VUZ_adar_2021.csv",
                   test::readFile(test::fixture("roster_sample.csv")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RosterFolder folder(old);
        MemberRoster members(folder.path());
        ReferenceSources sources = m_sources;
        sources.clubServer = c.server;
        members.setSources(sources);
        const RosterUpdate update = members.updateRoster();
        EXPECT_EQ(update.outcome, c.outcome);
        EXPECT_EQ(update.infoText, c.text);
        EXPECT_TRUE(update.dateText.isEmpty());
        EXPECT_EQ(update.showNoDatabase, c.outcome == RosterUpdate::Outcome::NoConnection);
        EXPECT_EQ(test::readFile(folder.rosterFile()), old);
        EXPECT_EQ(members.lookUpMember("D8ADO").number, "1");
    }
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// A download that is not the roster (a web page, garbage, half a line) must not replace it.
TEST(RosterBody, OnlyARosterWithItsColumnsAndAMemberPasses) {
    const QByteArray roster = test::readFile(test::fixture("roster_sample.csv"));
    struct Case {
        const char* what;
        QByteArray body;
        bool passes;
    };
    const Case cases[] = {
        {"the sample roster", roster, true},
        {"semicolons, one member", "D4ERI;12;Eric;2001\r\n", true},
        {"web page", "<!DOCTYPE html>\r\n<html><body>Erreur 404, page absente</body></html>\r\n",
         false},
        {"title line only", "Indicatif,Numero,Prenom,Adhesion\r\n", false},
        {"a line without its columns", "D4ERI,12,Eric,2001\r\nF5AAA\r\n", false},
        {"binary", test::randomBytes(4096, 7), false},
        {"NUL bytes", QByteArray("D4ERI,12,Eric,2001\r\n") + QByteArray(10, '\0'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rosterBodyProblem(c.body),
                  c.passes ? QString()
                           : QStringLiteral("Le fichier reçu n'est pas une liste de membres"));
    }
}

} // namespace
} // namespace vu
