#include "platform/smtp_send.h"

#include "platform/errors.h"
#include "support/https_server.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vu {
namespace {

MailMessage plainMessage() {
    MailMessage m;
    m.from = QStringLiteral("d4eri@example.org");
    m.replyTo = m.from;
    m.to = QStringLiteral("checker@example.org");
    m.date = QDateTime(QDate(2024, 1, 15), QTime(10, 30));
    m.subject = QStringLiteral("Compte rendu n° 1 — D4ÉRI");
    m.body = QStringLiteral("Première ligne\r\n73");
    return m;
}

TEST(SmtpSend, TextOnlyMessageWithoutCopyKeepsItsAccentedTexts) {
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, plainMessage());
    const QJsonObject got = sink.message(1);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got["rcptTos"].toArray(), QJsonArray{"checker@example.org"});
    EXPECT_EQ(got["headers"]["Subject"].toString(), plainMessage().subject);
    EXPECT_FALSE(got["headers"].toObject().contains("Cc"));
    const QJsonArray parts = got["parts"].toArray();
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromHex(parts[0]["hex"].toString().toLatin1()))
                  .split(QStringLiteral("\r\n"))
                  .mid(0, 2),
              (QStringList{"Première ligne", "73"}));
}

TEST(SmtpSend, LineBreakInAnAddressOrSubjectIsRefusedBeforeConnecting) {
    // The e-mail check lets any character through inside quotation marks; a line break there
    // would add headers or SMTP commands of its own.
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    const SmtpServer server{QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000};
    MailMessage badFrom = plainMessage();
    badFrom.from = QStringLiteral("\"a\nBcc: victim@example.org\"@example.org");
    MailMessage badCc = plainMessage();
    badCc.cc = QStringLiteral("\"a\r\nRCPT TO:<victim@example.org>\"@example.org");
    MailMessage badSubject = plainMessage();
    badSubject.subject = QStringLiteral("ZIV_URU_\nBcc: victim@example.org");
    for (const MailMessage& m : {badFrom, badCc, badSubject}) {
        EXPECT_THROW(sendMail(server, m), AppError);
    }
    sendMail(server, plainMessage()); // the server was reachable all along
    EXPECT_FALSE(sink.message(1).isEmpty());
    EXPECT_EQ(sink.messageCount(), 1);
}

TEST(SmtpSend, MissingAttachmentGivesTheFileError) {
    MailMessage m = plainMessage();
    m.attachmentPath = QStringLiteral("/nonexistent/LOG.CBR");
    try {
        sendMail({QStringLiteral("127.0.0.1"), 25, 2000, 10000}, m);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Fichier introuvable : /nonexistent/LOG.CBR"));
    }
}

// A server that refuses the copy address (the operator's own, say) still gets the report to
// the committee; the refusal is told with the server's words.
TEST(SmtpSend, ARefusedCopyDoesNotStopTheSendToTheCommittee) {
    test::SmtpSink sink({"--refuse-rcpt", "d4eri@example.org"});
    ASSERT_NE(sink.port(), 0);
    MailMessage m = plainMessage();
    m.cc = QStringLiteral("d4eri@example.org");
    const SendReport report = sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, m);
    ASSERT_EQ(report.refused.size(), 1);
    EXPECT_TRUE(report.refused[0].startsWith("d4eri@example.org : 550 5.1.1"))
        << report.refused[0].toStdString();
    const QJsonObject got = sink.message(1);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got["rcptTos"].toArray(), QJsonArray{"checker@example.org"});
}

TEST(SmtpSend, ARefusalShowsTheServersOwnReply) {
    test::SmtpSink sink({"--reject-data", "554 5.7.1 Message refused by the contest policy"});
    ASSERT_NE(sink.port(), 0);
    try {
        sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, plainMessage());
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("554 5.7.1 Message refused by the contest policy"))
            << e.message().toStdString();
    }
    // The To address refused: the copy alone would have it; that is a failure, with the reply.
    test::SmtpSink refusing({"--refuse-rcpt", "checker@example.org"});
    MailMessage m = plainMessage();
    m.cc = QStringLiteral("d4eri@example.org");
    try {
        sendMail({QStringLiteral("127.0.0.1"), refusing.port(), 2000, 10000}, m);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("checker@example.org")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("550 5.1.1")) << e.message().toStdString();
    }
}

// The server takes the whole message and never answers its end: the send ends within its one
// limit, and says the message may have arrived.
TEST(SmtpSend, AnUnansweredEndOfMessageEndsWithinTheLimitAsMaybeArrived) {
    test::SmtpSink sink({"--stall-data"});
    ASSERT_NE(sink.port(), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 2000}, plainMessage()),
                 MailUnconfirmed);
    EXPECT_LT(timer.elapsed(), 2000 + 1500);
    EXPECT_FALSE(sink.message(1).isEmpty());
    // Cancelled: at once, whatever the phase.
    std::atomic<bool> cancel{false};
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    timer.restart();
    try {
        sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 60000}, plainMessage(), &cancel);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Envoi annulé"));
    }
    canceller.join();
    EXPECT_LT(timer.elapsed(), 2500);
}

// A server that drops the connection before the message: a plain failure, never "it may have
// arrived".
TEST(SmtpSend, AConnectionDroppedBeforeTheMessageIsAPlainFailure) {
    test::SmtpSink sink({"--drop-data"});
    ASSERT_NE(sink.port(), 0);
    try {
        sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 5000}, plainMessage());
        ADD_FAILURE() << "no error";
    } catch (const MailUnconfirmed& e) {
        ADD_FAILURE() << e.message().toStdString();
    } catch (const AppError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(sink.messageCount(), 0);
}

// Non-ASCII texts make valid mail: an ASCII envelope or a refusal, an attachment name as
// RFC 2231 says, and header lines within RFC 5322's limits.
TEST(SmtpSend, NonAsciiAndLongFieldsMakeValidMail) {
    test::SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    const SmtpServer server{QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000};
    MailMessage accented = plainMessage();
    accented.from = QString::fromUtf8("jérôme@orange.fr");
    try {
        sendMail(server, accented);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(accented.from)) << e.message().toStdString();
    }
    EXPECT_EQ(sink.messageCount(), 0);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QString::fromUtf8("ZIV_URU_2024@D4ÉRI_Jérôme_très_long_nom_de_fichier_"
                                           "pour_voir_la_coupure.CBR");
    const QString attachment = dir.filePath(name);
    test::writeFile(attachment, "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n");
    MailMessage m = plainMessage();
    m.attachmentPath = attachment;
    m.subject = "ZIV_URU_" + QString(1500, u'D'); // a callsign of 1,500 characters
    sendMail(server, m);
    const QJsonObject got = sink.message(1);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got["headers"]["Subject"].toString(), m.subject);
    // Every header line, the parts' included, within 78 octets.
    EXPECT_LE(got["longestHeaderLine"].toInt(), 78)
        << got["longestHeaderText"].toString().toStdString();
    const QJsonArray parts = got["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[1]["filename"].toString(), name);
}

// The secure sends, against a server that takes mail only from the login "d4eri" / "s3cret".
struct SecureCase {
    const char* name;
    SmtpSecurity security;
    const char* serverMode; // "--tls" or "--starttls"
};

TEST(SmtpSend, EachSecurityAuthenticatesOverTlsWithTheTrustedCertificate) {
    const test::TestCertificate cert;
    ASSERT_FALSE(cert.certificate().isEmpty()) << qPrintable(cert.error());
    for (const SecureCase& c : {SecureCase{"implicit TLS", SmtpSecurity::Tls, "--tls"},
                                SecureCase{"STARTTLS", SmtpSecurity::StartTls, "--starttls"}}) {
        SCOPED_TRACE(c.name);
        test::SmtpSink sink({QString::fromLatin1(c.serverMode), cert.certificate(), cert.key(),
                             "--auth", "d4eri", "s3cret"});
        ASSERT_GT(sink.port(), 0);
        const MailAccount account{c.security, QStringLiteral("d4eri"), QStringLiteral("s3cret"),
                                  cert.certificate()};
        sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, account, plainMessage());
        const QJsonObject got = sink.message(1);
        EXPECT_TRUE(got.value("secure").toBool());
        EXPECT_EQ(got.value("login").toString(), "d4eri");
        EXPECT_EQ(got.value("headers").toObject().value("To").toString(), "checker@example.org");

        // A wrong password, and a certificate nobody vouches for, send nothing.
        MailAccount wrong = account;
        wrong.password = QStringLiteral("guess");
        MailAccount untrusted = account;
        untrusted.caFile.clear();
        for (const auto& [account2, words] :
             {std::pair{wrong, "Authentification refusée par le serveur"},
              std::pair{untrusted, "Certificat du serveur non reconnu"}}) {
            try {
                sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, account2,
                         plainMessage());
                ADD_FAILURE() << "sent with " << words;
            } catch (const AppError& e) {
                EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(words)))
                    << qPrintable(e.message());
            }
        }
        EXPECT_EQ(sink.messageCount(), 1);
    }
}

TEST(SmtpSend, StartTlsAskedOfAServerThatDoesNotOfferItSendsNothing) {
    test::SmtpSink sink;
    ASSERT_GT(sink.port(), 0);
    const MailAccount account{
        SmtpSecurity::StartTls, QStringLiteral("d4eri"), QStringLiteral("s3cret"), {}};
    try {
        sendMail({QStringLiteral("127.0.0.1"), sink.port(), 2000, 10000}, account, plainMessage());
        ADD_FAILURE() << "sent in the clear";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Le serveur ne propose pas de connexion sécurisée")))
            << qPrintable(e.message());
    }
    EXPECT_EQ(sink.messageCount(), 0);
}

} // namespace
} // namespace vu
