#include "app/application.h"
#include "contest_log/record_file.h"
#include "platform/cp1252.h"
#include "platform/version.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vu {
namespace {

// A program whose station comes from its settings file, with a log of two QSOs kept outside
// the Files folder.
class ApplicationReportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString program = m_dir.filePath("program");
        test::layProgramFolder(program, {"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P",
                                         "[OP]", "NAME=Hélène Dupré", "AD1=1 rue des Lilas",
                                         "AD2=Lyon", "AD3=69001", "email=d4eri@orange.fr"});
        test::layReferenceData(program);
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath("logs")));
        const QDate day(2024, 1, 15);
        test::writeFile(
            m_dir.filePath("logs/LOG.QRP"),
            QByteArray(kRecordSize, '\0') +
                encodeRecord(test::lineRecord("D4ERI", "40", day, {8, 5}, "123")) +
                encodeRecord(test::lineRecord("DL1ABC", "20", day, {8, 6}, "NM", "QRO")));

        ApplicationOptions options;
        options.programFolder = program;
        options.allowNetwork = false;
        options.timeSource = &clock;
        app = std::make_unique<Application>(options);
        app->session().setReportMailOptions({QString::fromLatin1(kCommitteeAddress), 2000, 10000});
        app->startUp();
        app->acceptStation();
        app->setContestFile(m_dir.filePath("logs/LOG.QRP"));
        app->activateMain();
    }

    QTemporaryDir m_dir;
    test::FixedTime clock{QDateTime(QDate(2024, 1, 16), QTime(9, 0), Qt::UTC)};
    std::unique_ptr<Application> app;
};

TEST_F(ApplicationReportsTest, CabrilloGoesToTheFilesFolderFromSettingsAndStationForm) {
    const QString path = app->session().writeCabrillo();
    EXPECT_EQ(path, m_dir.filePath("program/Files/LOG.CBR"));
    EXPECT_EQ(test::readFile(path),
              cp1252Lines({
                  "START-OF-LOG: 3.0",
                  "CREATED-BY: VARURAV_UDA_V " + programVersion(),
                  "CONTEST: ZIR-QRP",
                  "CALLSIGN: D4ERI/P",
                  "CATEGORY-MODE: CW",
                  "CATEGORY-OPERATOR: SINGLE-OP",
                  "CATEGORY-POWER: QRP",
                  "CATEGORY-TRANSMITTER: ONE",
                  "CLUB: ZIR",
                  "NAME: Helene Dupre",
                  "ADDRESS: 1 rue des Lilas",
                  "ADDRESS-CITY: Lyon",
                  "ADDRESS-POSTALCODE: 69001",
                  "EMAIL: d4eri@orange.fr",
                  "OPERATORS: D4ERI",
                  "SOAPBOX: CLub nr : ",
                  "",
                  "QSO:  7000 CW 2024-01-15 0805 D4ERI/P       599 123  QRP D4ERI         599 123 "
                  " QRP  ",
                  "QSO: 14000 CW 2024-01-15 0806 D4ERI/P       599 123  QRP DL1ABC        599 NM  "
                  " QRO  ",
                  "END-OF-LOG:",
              }));
}

// A report whose name is the open contest file's (here a second link to it) would replace the
// log: it is refused, naming it, and the log keeps its contacts.
TEST_F(ApplicationReportsTest, AReportNeverWritesOverTheOpenContestFile) {
    const QString log = m_dir.filePath("logs/LOG.QRP");
    const QByteArray before = test::readFile(log);
    struct Case {
        QString report;
        QString (ContestSession::*write)();
    };
    const Case cases[] = {{m_dir.filePath("program/Files/LOG.CBR"), &ContestSession::writeCabrillo},
                          {m_dir.filePath("logs/LOG.ADI"), &ContestSession::writeAdif}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report.toStdString());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(c.report).absolutePath()));
        QFile::remove(c.report);
        ASSERT_EQ(
            ::link(QFile::encodeName(log).constData(), QFile::encodeName(c.report).constData()), 0);
        try {
            (void)(app->session().*c.write)();
            ADD_FAILURE() << "the report was written";
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().contains(c.report)) << e.message().toStdString();
        }
        EXPECT_EQ(test::readFile(log), before);
        QFile::remove(c.report);
        EXPECT_FALSE((app->session().*c.write)().isEmpty()); // once apart, it is written
        EXPECT_EQ(test::readFile(log), before);
    }
}

// The main window's open refuses a log named like a report too, and keeps the current one.
TEST_F(ApplicationReportsTest, OpeningALogNamedLikeAReportIsRefused) {
    const QString named = m_dir.filePath("logs/OTHER.CBR");
    test::writeFile(named, test::readFile(m_dir.filePath("logs/LOG.QRP")));
    try {
        app->session().openLog(named);
        ADD_FAILURE() << "opened";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(named)) << e.message().toStdString();
    }
    EXPECT_EQ(app->session().contestFile().path(), m_dir.filePath("logs/LOG.QRP"));
}

TEST_F(ApplicationReportsTest, AdifGoesBesideTheContestFileWithTheCountriesOfTheTable) {
    const QString path = app->session().writeAdif();
    EXPECT_EQ(path, m_dir.filePath("logs/LOG.ADI"));
    const QStringList lines = fromCp1252(test::readFile(path)).split("\r\n");
    ASSERT_EQ(lines.size(), 11); // eight header lines, two records, nothing after the last CR LF
    const QString mine = "<MY_NAME:12>Helene Dupre <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P "
                         "<TX_PWR:1>5 <MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon "
                         "<MY_POSTAL_CODE:5>69001 <MY_EMAIL:15>d4eri@orange.fr ";
    EXPECT_EQ(lines[8], mine + "<CALL:5>D4ERI <COUNTRY:10>Cape Verde <DXCC:3>409 <CONT:2>AF "
                               "<QSO_DATE:8>20240115 <TIME_ON:4>0805 <MODE:2>CW <BAND:3>40M "
                               "<FREQ:1>7 <RST_SENT:3>599 <RST_RCVD:3>599 <NAME:4>Eric "
                               "<APP_LOGGER32_USER_1:3>123 <SRX:3>123 <SRX_STRING:3>123 <EOR>");
    EXPECT_EQ(lines[9], mine + "<CALL:6>DL1ABC <COUNTRY:20>Fed. Rep. of Germany <DXCC:3>230 "
                               "<CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0806 <MODE:2>CW "
                               "<BAND:3>20M <FREQ:2>14 <RST_SENT:3>599 <RST_RCVD:3>599 "
                               "<APP_LOGGER32_USER_1:2>NM <SRX_STRING:2>NM <EOR>");
}

TEST_F(ApplicationReportsTest, FieldsTypedAfterOkReachTheCabrilloButNotTheAcceptedName) {
    StationForm& form = app->stationForm();
    form.setEditNom("Jean Martin");
    form.setEditNZRB("NM");
    form.setQrpChecked(false);
    const QStringList cabrillo =
        fromCp1252(test::readFile(app->session().writeCabrillo())).split("\r\n");
    EXPECT_EQ(cabrillo[8], "CLUB: NM");
    EXPECT_EQ(cabrillo[9], "NAME: Jean Martin");
    EXPECT_EQ(cabrillo[17].mid(53, 4), "QRO ");
    const QString adif = fromCp1252(test::readFile(app->session().writeAdif()));
    EXPECT_TRUE(adif.contains("<MY_NAME:12>Helene Dupre "));
    EXPECT_TRUE(adif.contains("<TX_PWR:3>100 ")); // the category follows the box
}

// The check the report mail and the report button show is that of the file just written; the
// command-line check reads the log as it is now.
TEST_F(ApplicationReportsTest, TheCheckFollowsTheCabrilloFileWritten) {
    EXPECT_TRUE(app->session().reportCheck().empty());
    (void)app->session().writeReports();
    EXPECT_TRUE(app->session().reportCheck().empty())
        << app->session().reportCheck().lines().join(u'\n').toStdString();
    app->stationForm().setEditAD1("");
    EXPECT_EQ(app->session().checkReport().lines(), QStringList{"warning: ADDRESS is empty"});
    EXPECT_TRUE(app->session().reportCheck().empty());
    EXPECT_TRUE(app->session().activateReportMail().isEmpty());
    EXPECT_EQ(app->session().reportCheck().lines(), QStringList{"warning: ADDRESS is empty"});
}

TEST_F(ApplicationReportsTest, MailSendsTheFreshCabrilloFileThroughTheFormsServerAndPort) {
    EXPECT_TRUE(app->session().mailButtonRefusal().isEmpty());
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    // The send uses the texts of the SMTP and port fields, not the values OK took.
    app->stationForm().setEditSmtp("127.0.0.1");
    app->stationForm().setEditPort(QString::number(sink.port()));
    const QString cabrillo = m_dir.filePath("program/Files/LOG.CBR");
    ASSERT_FALSE(QFileInfo::exists(cabrillo));

    EXPECT_TRUE(app->session().activateReportMail().isEmpty());
    EXPECT_FALSE(app->session().clock().tickEnabled());
    EXPECT_EQ(app->session().reportMail().message().attachmentPath, cabrillo);
    EXPECT_EQ(app->session().reportMail().attachmentLabel(), "        LOG.CBR");
    const SendOutcome outcome =
        app->session().sendReportMail(app->stationForm().editSmtp(), app->stationForm().editPort());
    EXPECT_TRUE(outcome.sent) << outcome.messages.join(" / ").toStdString();
    EXPECT_TRUE(app->session().clock().tickEnabled());

    const QJsonObject got = sink.message(1);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got["mailFrom"].toString(), "d4eri@orange.fr");
    EXPECT_EQ(got["headers"]["Subject"].toString(), "ZIV_URU_D4ERI");
    const QJsonArray parts = got["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[1]["filename"].toString(), "LOG.CBR");
    EXPECT_EQ(QByteArray::fromHex(parts[1]["hex"].toString().toLatin1()), test::readFile(cabrillo));
}

TEST_F(ApplicationReportsTest, MailButtonRefusesAnAddressWithoutADotAfterTheAtSign) {
    app->station().email = "d4eri@orange";
    EXPECT_EQ(app->session().mailButtonRefusal(),
              "Les données fournies (EMail, SMTP, Port) ne permettent pas d'envoyer votre "
              "compte rendu\n\rUtilisez votre propre gestionaire d'emails");
}

} // namespace
} // namespace vu
