#pragma once

#include "platform/errors.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>

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

// What a send that went through tells besides: the recipients the server refused (the copy
// address, say, while the To address took the message), each with the server's reply.
struct SendReport {
    QStringList refused; // "address : reply"
};

// The message went out whole but the server's answer to its end never came (in time): it may
// have arrived.
class MailUnconfirmed : public AppError {
public:
    using AppError::AppError;
};

// Sends the message by SMTP: envelope sender the From address, envelope recipients the To and
// CC addresses (a refused CC does not stop the send to the To address), the body as text and
// the attachment in base64 under its name (RFC 2231 when it is not plain ASCII); header lines
// are folded at 78 octets. The whole exchange, from connecting to the server's last answer,
// ends within `server.timeoutMs`, and at once when `cancel` turns true. Throws AppError with the
// failure's text and the server's own reply, MailUnconfirmed when only the confirmation is
// missing.
SendReport sendMail(const SmtpServer& server, const MailMessage& message,
                    const std::atomic<bool>* cancel = nullptr);

} // namespace vu
