#pragma once

#include "platform/errors.h"
#include "platform/smtp_security.h"

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

// Who the operator is to the server and what he trusts.
struct MailAccount {
    SmtpSecurity security = SmtpSecurity::None;
    QString login;    // empty: no authentication
    QString password; // with the login; never stored by the program
    QString caFile;   // a PEM file of certificates trusted besides the system's; empty: none
};

// Where and how long to try, and how.
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

// Sends the message by SMTP over the account's security, the server's certificate checked
// against the system's authorities (and the account's own file), with authentication (the
// mechanisms the server offers) when a login is given: envelope sender the From address, envelope
// recipients the To and CC addresses (a refused CC does not stop the send to the To address), the
// body as text and the attachment in base64 under its name (RFC 2231 when it is not plain ASCII);
// header lines are folded at 78 octets. The whole exchange, from connecting to the server's last
// answer, ends within `server.timeoutMs`, and at once when `cancel` turns true. Throws AppError
// with the failure's text and the server's own reply ("Authentification refusée par le serveur",
// "Certificat du serveur non reconnu", "Le serveur ne propose pas de connexion sécurisée"),
// MailUnconfirmed when only the confirmation is missing.
SendReport sendMail(const SmtpServer& server, const MailAccount& account,
                    const MailMessage& message, const std::atomic<bool>* cancel = nullptr);
// The same over a plain connection without authentication.
inline SendReport sendMail(const SmtpServer& server, const MailMessage& message,
                           const std::atomic<bool>* cancel = nullptr) {
    return sendMail(server, MailAccount{}, message, cancel);
}

} // namespace vu
