#pragma once

#include <QDateTime>
#include <QString>

namespace vu {

// One e-mail: headers, a plain-text body and at most one attached file.
struct MailMessage {
    QString from;
    QString replyTo;
    QString to; // empty: no To address
    QString cc; // empty: no copy
    QDateTime date;
    QString subject;
    QString body;           // lines joined by CR LF
    QString attachmentPath; // empty: no attachment; sent under its bare file name
};

// Where and how long to try: a plain connection without authentication.
struct SmtpServer {
    QString host;
    int port = 25;
    int connectTimeoutMs = 15000; // to get a connection
    int timeoutMs = 120000;       // for the whole exchange
};

// Sends the message by SMTP: envelope sender the From address, envelope recipients the To and
// CC addresses, the body as text and the attachment in base64. Throws AppError with the
// failure's own text.
void sendMail(const SmtpServer& server, const MailMessage& message);

} // namespace vu
