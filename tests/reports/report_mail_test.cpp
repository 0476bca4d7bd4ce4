#include "reports/report_mail.h"

#include "support/smtp_sink.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

const QString kSent =
    QStringLiteral("         Vos fichiers compte rendus ont été envoyés au  correcteur");
const QString kNotSent = QStringLiteral("         L'envoi n'a pas pu se faire           ");
const QString kCommitteeRejected =
    QStringLiteral("    L'adresse du destinataire (le correcteur) ne semble pas valide, corrigez");

class ReportMailTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        inputs.cabrilloPath = m_dir.filePath("ZIV_URU_2024@D4ERI.CBR");
        test::writeFile(inputs.cabrilloPath, cabrillo);
    }

    QTemporaryDir m_dir;
    // Bytes a text conversion would damage: Windows-1252 letters, CR LF, a lone LF.
    const QByteArray cabrillo =
        "START-OF-LOG: 3.0\r\nNAME: H\xE9l\xE8ne\r\n.\r\nlone\nEND-OF-LOG:\r\n";
    ReportMailInputs inputs{QStringLiteral("d4eri@example.org"),
                            QStringLiteral("D4ERI"),
                            {},
                            QDateTime(QDate(2024, 1, 15), QTime(10, 30, 5))};
};

TEST_F(ReportMailTest, ComposeAddressesTheCommitteeAndAttachesTheCabrilloFile) {
    ReportMail mail;
    EXPECT_TRUE(mail.compose(inputs).isEmpty());
    const MailMessage& m = mail.message();
    EXPECT_EQ(m.from, "d4eri@example.org");
    EXPECT_EQ(m.replyTo, "d4eri@example.org");
    EXPECT_EQ(m.to, QString::fromLatin1(kCommitteeAddress));
    EXPECT_EQ(m.cc, "d4eri@example.org");
    EXPECT_EQ(m.date, inputs.localNow);
    EXPECT_EQ(m.subject, "ZIV_URU_D4ERI");
    const QString first = " Fichiers compte rendu du duruvero VED UVE     " +
                          QLocale::system().toString(QDate(2024, 1, 15), QLocale::ShortFormat);
    EXPECT_EQ(mail.bodyLines(), (QStringList{first, "73 de D4ERI"}));
    EXPECT_EQ(m.body, first + "\r\n73 de D4ERI");
    EXPECT_EQ(m.attachmentPath, inputs.cabrilloPath);
    EXPECT_EQ(mail.attachmentLabel(), "        ZIV_URU_2024@D4ERI.CBR");
    EXPECT_EQ(mail.recipientText(), QString::fromLatin1(kCommitteeAddress));
    EXPECT_FALSE(mail.recipientRejected());

    // Without the file the message goes without attachment; the panel still names it.
    ASSERT_TRUE(QFile::remove(inputs.cabrilloPath));
    EXPECT_TRUE(mail.compose(inputs).isEmpty());
    EXPECT_TRUE(mail.message().attachmentPath.isEmpty());
    EXPECT_EQ(mail.attachmentLabel(), "        ZIV_URU_2024@D4ERI.CBR");
}

TEST_F(ReportMailTest, RecipientRuleKeepsTheLastAcceptedAddress) {
    ReportMail mail;
    (void)mail.compose(inputs);
    mail.setRecipientText("checker@other-club.org");
    EXPECT_FALSE(mail.recipientRejected());
    EXPECT_EQ(mail.message().to, "checker@other-club.org");

    mail.setRecipientText("checker@other-club.");
    EXPECT_TRUE(mail.recipientRejected());
    EXPECT_EQ(mail.recipientText(), "checker@other-club.");
    EXPECT_EQ(mail.message().to, "checker@other-club.org");

    // Coming back to the window puts the committee address back.
    (void)mail.compose(inputs);
    EXPECT_FALSE(mail.recipientRejected());
    EXPECT_EQ(mail.recipientText(), QString::fromLatin1(kCommitteeAddress));
    EXPECT_EQ(mail.message().to, QString::fromLatin1(kCommitteeAddress));
}

TEST_F(ReportMailTest, RejectedCommitteeAddressLeavesNoRecipientAndNothingIsSent) {
    ReportMail mail({QStringLiteral("committee@"), 2000, 5000});
    EXPECT_EQ(mail.compose(inputs), kCommitteeRejected);
    EXPECT_TRUE(mail.recipientRejected());
    EXPECT_TRUE(mail.message().to.isEmpty());
    // Sending then would reach the copy address only, while saying it reached the committee.
    const SendOutcome outcome = mail.send("127.0.0.1", "25");
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.messages, (QStringList{kCommitteeRejected, kNotSent}));
}

TEST(ReportMail, MailButtonOpensTheWindowOnlyWithAddressServerAndPort) {
    const QString refusal =
        QStringLiteral("Les données fournies (EMail, SMTP, Port) ne permettent pas d'envoyer "
                       "votre compte rendu\n\rUtilisez votre propre gestionaire d'emails");
    EXPECT_EQ(ReportMail::refusalToOpen("d4eri@example.org", "smtp.example.org", "25"), "");
    EXPECT_EQ(ReportMail::refusalToOpen("d4eri@example", "smtp.example.org", "25"), refusal);
    EXPECT_EQ(ReportMail::refusalToOpen("d4eri@example.org", "", "25"), refusal);
    EXPECT_EQ(ReportMail::refusalToOpen("d4eri@example.org", "smtp.example.org", ""), refusal);
}

TEST_F(ReportMailTest, SendDeliversTheReportToTheLastAcceptedRecipient) {
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    ReportMail mail;
    (void)mail.compose(inputs);
    mail.setRecipientText("le correcteur"); // rejected: the committee address stays
    const SendOutcome outcome = mail.send("127.0.0.1", QString::number(sink.port()));
    EXPECT_TRUE(outcome.sent);
    EXPECT_EQ(outcome.messages, QStringList{kSent});

    const QJsonObject got = sink.message(1);
    ASSERT_FALSE(got.isEmpty());
    const QString committee = QString::fromLatin1(kCommitteeAddress);
    EXPECT_EQ(got["mailFrom"].toString(), "d4eri@example.org");
    EXPECT_EQ(got["rcptTos"].toArray(), (QJsonArray{committee, "d4eri@example.org"}));
    const QJsonObject headers = got["headers"].toObject();
    EXPECT_EQ(headers["From"].toString(), "d4eri@example.org");
    EXPECT_EQ(headers["Reply-To"].toString(), "d4eri@example.org");
    EXPECT_EQ(headers["To"].toString(), committee);
    EXPECT_EQ(headers["Cc"].toString(), "d4eri@example.org");
    EXPECT_EQ(headers["Subject"].toString(), "ZIV_URU_D4ERI");
    EXPECT_EQ(QDateTime::fromString(headers["Date"].toString(), Qt::RFC2822Date), inputs.localNow);

    const QJsonArray parts = got["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    const QString text =
        QString::fromUtf8(QByteArray::fromHex(parts[0]["hex"].toString().toLatin1()));
    EXPECT_EQ(parts[0]["contentType"].toString(), "text/plain");
    EXPECT_EQ(text.split(QStringLiteral("\r\n")).mid(0, 2), mail.bodyLines());
    EXPECT_EQ(parts[1]["filename"].toString(), "ZIV_URU_2024@D4ERI.CBR");
    EXPECT_EQ(parts[1]["encoding"].toString(), "base64");
    EXPECT_EQ(QByteArray::fromHex(parts[1]["hex"].toString().toLatin1()), cabrillo);
}

// The operator's own address refused as the copy: the committee has the report, and the
// operator is told his copy did not go.
TEST_F(ReportMailTest, ARefusedCopyIsToldAfterTheSuccess) {
    test::SmtpSink sink({"--refuse-rcpt", "d4eri@example.org"});
    ASSERT_NE(sink.port(), 0);
    ReportMail mail;
    (void)mail.compose(inputs);
    const SendOutcome outcome = mail.send("127.0.0.1", QString::number(sink.port()));
    EXPECT_TRUE(outcome.sent);
    ASSERT_EQ(outcome.messages.size(), 2);
    EXPECT_EQ(outcome.messages[0], kSent);
    EXPECT_TRUE(outcome.messages[1].startsWith(QString::fromUtf8(
        "La copie n'a pas été acceptée par le serveur : d4eri@example.org : 550")))
        << outcome.messages[1].toStdString();
    EXPECT_EQ(sink.message(1)["rcptTos"].toArray(),
              QJsonArray{QString::fromLatin1(kCommitteeAddress)});
}

TEST_F(ReportMailTest, FailedSendsEndWithTheErrorThenTheFailureText) {
    const test::LoopbackPort refusing(test::LoopbackPort::Refusing);
    const test::LoopbackPort silent(test::LoopbackPort::Silent);
    ASSERT_NE(refusing.port(), 0);
    ASSERT_NE(silent.port(), 0);
    ReportMail mail({QString::fromLatin1(kCommitteeAddress), 2000, 1500});
    (void)mail.compose(inputs);
    for (const int port : {refusing.port(), silent.port()}) {
        QElapsedTimer clock;
        clock.start();
        const SendOutcome outcome = mail.send("127.0.0.1", QString::number(port));
        EXPECT_LT(clock.elapsed(), 10000); // a silent server cannot hold the program
        EXPECT_FALSE(outcome.sent);
        ASSERT_EQ(outcome.messages.size(), 2);
        EXPECT_FALSE(outcome.messages[0].trimmed().isEmpty());
        EXPECT_EQ(outcome.messages[1], kNotSent);
    }
}

TEST_F(ReportMailTest, PortThatIsNotAWholeNumberSendsNothing) {
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    ReportMail mail;
    (void)mail.compose(inputs);
    const QString port = QString::number(sink.port());
    for (const QString& text : {port + "a", QString(), QStringLiteral(" "), "-" + port,
                                QStringLiteral("70000"), QStringLiteral("2.5")}) {
        const SendOutcome outcome = mail.send("127.0.0.1", text);
        EXPECT_FALSE(outcome.sent);
        EXPECT_EQ(outcome.messages,
                  (QStringList{QStringLiteral("Le port SMTP \"%1\" n'est pas un nombre entier "
                                              "de 1 à 65535")
                                   .arg(text),
                               kNotSent}));
    }
    // Blanks around a number are harmless.
    EXPECT_TRUE(mail.send("127.0.0.1", " " + port + " ").sent);
    EXPECT_EQ(sink.messageCount(), 1);
}

} // namespace
} // namespace vu
