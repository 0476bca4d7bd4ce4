#include "contest_log/log_table.h"
#include "platform/errors.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "setup/languages.h"
#include "setup/station_form.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

const QString kLongEmailMessage = QStringLiteral(
    "Votre adresse Email ne permet pas de déterminer votre SMTP ainsi que votre Port\n"
    "Veuillez les fournir ou bien effacer votre adresse Email\n\n"
    " Si vous ne possédez pas ces éléments, vous devrez envoyer votre compte rendu avec votre "
    "propre gestionaire d'Email");

class StationFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::writeFile(folder + "/SMTP.csv", "Domaine;SMTP;Port\r\n"
                                              "orange;smtp.orange.fr;25\r\n"
                                              "provider;smtp.provider.fr; 587 \r\n"
                                              "Provider;wrong.case;1\r\n"
                                              "provider;second.match;2\r\n"
                                              "twofields;only.server\r\n"
                                              "secure;smtp.secure.net;465;tls\r\n"
                                              "club;mail.club.org;465;none\r\n"
                                              "odd;mail.odd.org;25;STARTTLS\r\n");
        table.setRowCount(4);
        table.setCell(Col::Call, 1, "F5ABC");
        table.setCell(Col::Call, 2, "DL1XYZ");
    }

    QTemporaryDir m_dir;
    QString folder = m_dir.path();
    StationSettings station;
    LogTable table;
    CountryTable countries{folder};
    MemberRoster roster{folder};
    LanguageTexts texts;
    StationForm form{station, table, countries, roster, texts, folder};
};

TEST_F(StationFormTest, CreationMakesTheFoldersAndAsksAboutAnExistingRoster) {
    const QList<BackupVolume> volumes = {{"/media/op/KEY", "Disque Amovible"}};
    const RosterDecision first = form.create("7.1.1.0", QDate(2024, 3, 2), volumes);
    for (const char* name : {"Files", "Lng", "Fichiers_BD"}) {
        EXPECT_TRUE(QFileInfo(folder + "/" + name).isDir()) << name;
    }
    EXPECT_TRUE(form.caption().startsWith(QLatin1String("Duruvero VED UVE, V:7.1.1.0 (")));
    EXPECT_TRUE(form.caption().endsWith(QLatin1String(")")));
    EXPECT_FALSE(form.infoInternetVisible());
    EXPECT_TRUE(first.rosterMissing);
    EXPECT_TRUE(first.question.isEmpty());
    form.rosterUpdateDone(RosterOutcome::UpdatedMissing);
    EXPECT_EQ(form.labelBdZir(), QStringLiteral("BD ZIR :VUZ_adar_2021.csv"));
    EXPECT_TRUE(form.labelDateBd().startsWith(QLatin1String("Date du fichier : ")));

    test::writeFile(roster.rosterPath(), "Indicatif,Numero,Prenom\r\n");
    const RosterDecision second = form.create("7.1.1.0", QDate(2024, 3, 2), volumes);
    EXPECT_FALSE(second.rosterMissing);
    EXPECT_EQ(second.question, "Votre base de données des membres date du " +
                                   roster.fileDateText() +
                                   "\n\nVoulez-vous mettre à jour le fichier ?");
    form.rosterUpdateDone(RosterOutcome::UpdatedOnYes, "Mise à jour réussie");
    EXPECT_EQ(form.labelBdZir(), QStringLiteral("BD Membres : VUZ_adar_2021.csv"));
    EXPECT_EQ(form.labelDateBd(), "Date du fichier : " + roster.fileDateText());
    EXPECT_TRUE(form.infoInternetVisible()); // what the update reported is shown
    EXPECT_EQ(form.labelInfoInternet(), QStringLiteral("Mise à jour réussie"));
}

TEST_F(StationFormTest, TheBackupListStartsWithAucunAndKeepsTheChosenRootPath) {
    (void)form.create("7.1.1.0", QDate(2024, 3, 2),
                      {{"/media/op/CLE USB", "Disque Amovible"}, {"/", "Disque dur"}});
    EXPECT_EQ(form.backupItems(), (QStringList{"Aucun", "/media/op/CLE USB Disque Amovible",
                                               "/ Disque dur", "Choisir un dossier…"}));
    EXPECT_TRUE(form.isChooseFolderItem(3));
    EXPECT_EQ(form.backupIndex(), -1);
    EXPECT_TRUE(form.backupRoot().isEmpty());
    form.selectBackup(1);
    EXPECT_EQ(form.backupRoot(), QStringLiteral("/media/op/CLE USB")); // not its first characters
    form.selectBackup(0);
    EXPECT_TRUE(form.backupRoot().isEmpty());
    form.selectBackup(7);
    EXPECT_EQ(form.backupIndex(), -1);

    // A folder of the operator's is listed before the choice, selected, and backed up to.
    const QString folder = m_dir.filePath("backups");
    ASSERT_TRUE(QDir().mkpath(folder));
    form.setBackupFolder(m_dir.filePath("missing"));
    EXPECT_EQ(form.backupIndex(), -1);
    form.setBackupFolder(folder);
    EXPECT_EQ(form.backupItems().at(3), folder + " Dossier");
    EXPECT_TRUE(form.isChooseFolderItem(4));
    EXPECT_EQ(form.backupIndex(), 3);
    EXPECT_EQ(form.backupRoot(), folder);
    form.selectBackup(2);
    EXPECT_EQ(form.backupRoot(), QStringLiteral("/"));
}

TEST_F(StationFormTest, AShortOperatorCallEmptiesTheClubNumberAndLeavesTheStation) {
    form.setEditNZRB("123");
    form.setEditStation("F5XYZ/P");
    form.setEditOp("f5x");
    EXPECT_EQ(form.editOp(), QStringLiteral("F5X"));
    EXPECT_TRUE(form.editNZRB().isEmpty());
    EXPECT_EQ(form.editStation(), QStringLiteral("F5XYZ/P"));

    form.setEditOp("f5xy"); // four characters: looked up, copied into the station field
    EXPECT_EQ(form.editNZRB(), QStringLiteral("NM"));
    EXPECT_EQ(form.editStation(), QStringLiteral("F5XY"));
    EXPECT_EQ(station.stationCall, QStringLiteral("F5XY"));
    EXPECT_EQ(form.mainStationLabel(), QStringLiteral("F5XY"));
}

TEST_F(StationFormTest, LeavingTheOperatorFieldWithANewCallStartsAnEmptyLog) {
    station.operatorCall = "F5ABC";
    station.contestFileName = "ZIV_URU_2024@F5ABC.QRP";
    form.setEditOp("F5ABC ");
    form.editOpExit(); // same callsign once trimmed: nothing happens
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(station.contestFileName, QStringLiteral("ZIV_URU_2024@F5ABC.QRP"));

    form.setEditOp("D4ERI");
    form.editOpExit();
    EXPECT_EQ(station.operatorCall, QStringLiteral("D4ERI"));
    EXPECT_TRUE(station.contestFileName.isEmpty());
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_TRUE(table.cell(Col::Call, 1).isEmpty());
}

TEST_F(StationFormTest, TheStationFieldSetsTheCallsignOnlyBeyondThreeCharacters) {
    station.stationCall = "OLD";
    form.setEditStation("F5A");
    EXPECT_EQ(station.stationCall, QStringLiteral("OLD"));
    form.editStationExit(); // leaving takes the text whatever its length
    EXPECT_EQ(station.stationCall, QStringLiteral("F5A"));
}

TEST_F(StationFormTest, TheQrpBoxSetsCategoryLabelsAndDeclaration) {
    form.setQrpChecked(true);
    EXPECT_TRUE(form.declarationVisible());
    EXPECT_EQ(station.category, QStringLiteral("QRP"));
    EXPECT_EQ(form.mainCategoryLabel(), QStringLiteral("QRP"));
    form.setQrpChecked(false);
    EXPECT_FALSE(form.declarationVisible());
    EXPECT_EQ(station.category, QStringLiteral("QRO"));
    EXPECT_EQ(form.mainCategoryLabel(), QStringLiteral("QRO"));

    station.category = "qrp"; // as a hand-edited file may hold it: activation decides
    EXPECT_FALSE(form.activate().isEmpty()); // no operator yet: the prompt
    EXPECT_EQ(station.category, QStringLiteral("QRO"));
    form.setEditOp("F5X");
    EXPECT_TRUE(form.activate().isEmpty());
}

TEST_F(StationFormTest, TheEmailFindsServerAndPortByMailDomain) {
    struct Case {
        const char* address;
        const char* smtp;
        const char* port;
        SmtpSecurity security;
    };
    const Case cases[] = {
        // first match, port trimmed; without a security field the port tells it
        {"op@provider.fr", "smtp.provider.fr", "587", SmtpSecurity::StartTls},
        {"op@orange.fr", "smtp.orange.fr", "25", SmtpSecurity::None},
        {"op@PROVIDER.fr", "", "", SmtpSecurity::None}, // the domain is compared exactly
        {"op@twofields.net", "only.server", "", SmtpSecurity::None},
        {"op@secure.net", "smtp.secure.net", "465", SmtpSecurity::Tls},
        {"op@club.org", "mail.club.org", "465", SmtpSecurity::None}, // the field over the port
        {"op@odd.org", "mail.odd.org", "25", SmtpSecurity::StartTls},
        {"op@provider", "", "", SmtpSecurity::None}, // no "." after the "@": no domain
        {"op@unknown.it", "", "", SmtpSecurity::None},
    };
    for (const Case& c : cases) {
        form.setEditSmtp("stale");
        form.setEditPort("stale");
        form.setSmtpSecurity(SmtpSecurity::Tls);
        form.setEditEmail(c.address);
        EXPECT_EQ(form.editSmtp(), QString::fromLatin1(c.smtp)) << c.address;
        EXPECT_EQ(form.editPort(), QString::fromLatin1(c.port)) << c.address;
        EXPECT_EQ(form.smtpSecurity(), c.security) << c.address;
        EXPECT_EQ(station.email, QString::fromLatin1(c.address));
    }
    form.setEditSmtp("stale");
    form.setEditEmail("no at sign"); // emptied, nothing looked up, the address stays
    EXPECT_TRUE(form.editSmtp().isEmpty());
    EXPECT_EQ(station.email, QStringLiteral("op@unknown.it"));
}

// A server and port the operator typed stay while the address keeps its provider; another
// provider brings the list's server.
TEST_F(StationFormTest, ATypedServerStaysUntilTheProviderChanges) {
    form.setEditEmail("op@orange.fr");
    EXPECT_FALSE(form.smtpTyped());
    form.setEditSmtp("127.0.0.1");
    form.setEditPort("2525");
    form.setSmtpSecurity(SmtpSecurity::Tls);
    EXPECT_TRUE(form.smtpTyped());
    form.setEditEmail("jean@orange.fr");
    EXPECT_EQ(form.editSmtp(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(form.editPort(), QStringLiteral("2525"));
    EXPECT_EQ(form.smtpSecurity(), SmtpSecurity::Tls);
    EXPECT_EQ(station.email, QStringLiteral("jean@orange.fr"));
    form.setEditEmail("jean@provider.fr");
    EXPECT_EQ(form.editSmtp(), QStringLiteral("smtp.provider.fr"));
    EXPECT_EQ(form.editPort(), QStringLiteral("587"));
    EXPECT_EQ(form.smtpSecurity(), SmtpSecurity::StartTls);
    form.setEditSmtp("");
    form.setEditPort("");
    form.setEditEmail("jeanne@provider.fr"); // nothing given: the list fills them again
    EXPECT_EQ(form.editSmtp(), QStringLiteral("smtp.provider.fr"));
}

TEST_F(StationFormTest, AMissingSmtpListStopsTheEmailRuleWithTheFileError) {
    QFile::remove(folder + "/SMTP.csv");
    station.email = "before@orange.fr";
    try {
        form.setEditEmail("op@orange.fr");
        ADD_FAILURE() << "no error for a missing SMTP list";
    } catch (const IoError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable : " + folder + "/SMTP.csv");
    }
    EXPECT_EQ(form.editEmail(), QStringLiteral("op@orange.fr"));
    EXPECT_TRUE(form.editSmtp().isEmpty());
    EXPECT_EQ(station.email, QStringLiteral("before@orange.fr"));
}

TEST_F(StationFormTest, OkRefusesWithoutOperatorAndForAnEmailWithoutServer) {
    form.setEditNom("Eric");
    StationOk ok = form.accept();
    EXPECT_FALSE(ok.accepted);
    EXPECT_EQ(ok.message, QStringLiteral("             Infos manquantes"));
    EXPECT_EQ(station.operatorName, QStringLiteral("Eric"));

    form.setEditOp(" F5X ");
    form.setEditNZRB("77");
    form.setEditEmail(" op@unknown.it ");
    ok = form.accept();
    EXPECT_FALSE(ok.accepted);
    EXPECT_EQ(ok.message, kLongEmailMessage);
    // What comes before the check is taken already.
    EXPECT_EQ(station.operatorCall, QStringLiteral("F5X"));
    EXPECT_EQ(station.stationCall, QStringLiteral("F5X")); // empty station field: the operator
    EXPECT_EQ(station.clubNumber, QStringLiteral("77"));
    EXPECT_EQ(station.email, QStringLiteral("op@unknown.it"));

    form.setEditSmtp("smtp.unknown.it");
    form.setEditPort("25");
    ok = form.accept();
    EXPECT_TRUE(ok.accepted);
    EXPECT_TRUE(ok.message.isEmpty());
    EXPECT_EQ(station.smtpServer, QStringLiteral("smtp.unknown.it"));
    EXPECT_EQ(station.smtpPort, QStringLiteral("25"));
}

// A mail server refuses a non-ASCII address (or takes a From it cannot read): OK refuses it, even
// when the server and port are known.
TEST_F(StationFormTest, OkRefusesANonAsciiEmailAddress) {
    form.setEditOp("F5X");
    for (const char* address : {"jérôme@orange.fr", "jerome@orangé.fr", "ÿ@orange.fr"}) {
        SCOPED_TRACE(address);
        form.setEditEmail(QString::fromUtf8(address));
        form.setEditSmtp("smtp.orange.fr");
        form.setEditPort("25");
        const StationOk ok = form.accept();
        EXPECT_FALSE(ok.accepted);
        EXPECT_TRUE(ok.message.startsWith(QStringLiteral("Votre adresse Email contient des lettres "
                                                         "accentuées")))
            << ok.message.toStdString();
    }
    form.setEditEmail("jerome@orange.fr");
    form.setEditSmtp("smtp.orange.fr");
    form.setEditPort("25");
    EXPECT_TRUE(form.accept().accepted);
}

TEST_F(StationFormTest, TypedOperatorIsLookedUpInRosterAndCountryTable) {
    test::layReferenceData(folder);
    form.buildCountryList(false);
    ASSERT_FALSE(form.dxccItems().isEmpty());
    form.setEditOp("D4ERI");
    EXPECT_EQ(form.editNZRB(), QStringLiteral("123"));
    EXPECT_EQ(form.editStation(), QStringLiteral("D4ERI"));
    EXPECT_EQ(form.dxccText(), QStringLiteral("D4"));
    EXPECT_EQ(station.dxcc, QStringLiteral("D4"));
    EXPECT_EQ(station.continent, QStringLiteral("AF"));
    EXPECT_EQ(form.mainStationLabel(), QStringLiteral("D4ERI"));

    form.setEditStation("D4ERI/P");
    EXPECT_EQ(form.dxccText(), QStringLiteral("D4"));
    EXPECT_EQ(station.stationCall, QStringLiteral("D4ERI/P"));
    form.setEditStation("DL/D4ERI");
    EXPECT_EQ(form.dxccText(), QStringLiteral("DL"));
    EXPECT_EQ(station.dxcc, QStringLiteral("DL"));
    EXPECT_EQ(station.continent, QStringLiteral("EU"));

    form.setEditOp("F5XYZ"); // a non-member
    EXPECT_EQ(form.editNZRB(), QStringLiteral("NM"));
    EXPECT_EQ(form.dxccText(), QStringLiteral("F"));
}

TEST_F(StationFormTest, AnUnknownCallClearsTheDxccSelection) {
    test::layReferenceData(folder);
    form.buildCountryList(false);
    ASSERT_FALSE(form.dxccItems().isEmpty());
    form.setEditOp("D4ERI");
    ASSERT_EQ(form.dxccText(), QStringLiteral("D4"));
    form.setEditStation("QQ1QQQ"); // no country: entity and continent emptied, nothing selected
    EXPECT_TRUE(station.dxcc.isEmpty());
    EXPECT_TRUE(station.continent.isEmpty());
    EXPECT_EQ(form.dxccIndex(), -1);
    EXPECT_TRUE(form.dxccText().isEmpty());
}

} // namespace
} // namespace vu
