#include "platform/smtp_send.h"

#include "platform/errors.h"
#include "support/smtp_sink.h"

#include <QJsonArray>
#include <gtest/gtest.h>

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

} // namespace
} // namespace vu
