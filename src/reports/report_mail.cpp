#include "reports/report_mail.h"

#include "platform/curl_support.h"
#include "platform/errors.h"
#include "reports/email_address.h"

#include <QFileInfo>
#include <QLocale>
#include <optional>

namespace vu {

namespace {

const QString kCommitteeRejected =
    QStringLiteral("    L'adresse du destinataire (le correcteur) ne semble pas valide, corrigez");
const QString kNotSent = QStringLiteral("         L'envoi n'a pas pu se faire           ");

// The port text as a TCP port number; nothing when it is not a whole number from 1 to 65535.
std::optional<int> portNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const QChar c : trimmed) {
        if (!c.isDigit() || c.unicode() > 0x7F) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const int port = trimmed.toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

} // namespace

ReportMail::ReportMail(ReportMailOptions options) : m_options(std::move(options)) {}

QString ReportMail::refusalToOpen(const QString& stationEmail, const QString& smtp,
                                  const QString& port) {
    if (isValidEmailAddress(stationEmail) && !smtp.isEmpty() && !port.isEmpty()) {
        return {};
    }
    return QStringLiteral("Les données fournies (EMail, SMTP, Port) ne permettent pas d'envoyer "
                          "votre compte rendu\n\rUtilisez votre propre gestionaire d'emails");
}

QString ReportMail::compose(const ReportMailInputs& inputs) {
    m_recipientRejected = false;
    m_message = {};
    m_message.from = inputs.stationEmail;
    m_message.replyTo = inputs.stationEmail;
    // Putting the committee address into the field runs the rule only when the text changes.
    if (m_recipientText != m_options.committeeAddress) {
        setRecipientText(m_options.committeeAddress);
    }
    QString box;
    if (isValidEmailAddress(m_options.committeeAddress)) {
        m_message.to = m_options.committeeAddress;
    } else {
        box = kCommitteeRejected;
    }
    m_message.cc = inputs.stationEmail;
    m_message.date = inputs.localNow;
    if (QFileInfo::exists(inputs.cabrilloPath)) {
        m_message.attachmentPath = inputs.cabrilloPath;
    }
    m_attachmentLabel = QString(8, u' ') + QFileInfo(inputs.cabrilloPath).fileName();
    m_message.subject = QStringLiteral("ZIV_URU_") + inputs.operatorCall;
    m_bodyLines = {
        QStringLiteral(" Fichiers compte rendu du duruvero VED UVE     ") +
            QLocale::system().toString(inputs.localNow.date(), QLocale::ShortFormat),
        QStringLiteral("73 de ") + inputs.operatorCall,
    };
    m_message.body = m_bodyLines.join(QStringLiteral("\r\n"));
    return box;
}

void ReportMail::setRecipientText(const QString& text) {
    m_recipientText = text;
    m_recipientRejected = !isValidEmailAddress(text);
    if (!m_recipientRejected) {
        m_message.to = text;
    }
}

SendOutcome ReportMail::send(const QString& serverText, const QString& portText,
                             const std::atomic<bool>* cancel) const {
    return sendMessage(m_message, m_options, m_account, serverText, portText, cancel);
}

SendOutcome ReportMail::sendMessage(const MailMessage& message, const ReportMailOptions& options,
                                    const MailAccount& account, const QString& serverText,
                                    const QString& portText, const std::atomic<bool>* cancel) {
    const std::optional<int> port = portNumber(portText);
    if (!port) {
        return {false,
                {QStringLiteral("Le port SMTP \"%1\" n'est pas un nombre entier de 1 à 65535")
                     .arg(portText),
                 kNotSent}};
    }
    // Without an accepted recipient the report would reach only the copy address.
    if (message.to.isEmpty()) {
        return {false, {kCommitteeRejected, kNotSent}};
    }
    SendReport report;
    try {
        report = sendMail({serverText, *port, options.connectTimeoutMs, options.timeoutMs}, account,
                          message, cancel);
    } catch (const MailUnconfirmed& e) {
        return {false, {e.message()}}; // not "not sent": it may well have arrived
    } catch (const AppError& e) {
        return {false, {e.message(), kNotSent}};
    }
    SendOutcome outcome{
        true,
        {QStringLiteral("         Vos fichiers compte rendus ont été envoyés au  correcteur")}};
    for (const QString& refused : report.refused) {
        // The operator's own copy: the committee has the report all the same.
        outcome.messages << QStringLiteral("La copie n'a pas été acceptée par le serveur : ") +
                                refused;
    }
    return outcome;
}

ReportMail::~ReportMail() {
    cancelSend();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

bool ReportMail::sending() const {
    return m_sending->load();
}

void ReportMail::cancelSend() {
    m_cancel->store(true);
}

void ReportMail::sendInBackground(const QString& serverText, const QString& portText,
                                  std::function<void(const SendOutcome&)> done) {
    if (sending()) {
        return;
    }
    if (m_worker.joinable()) {
        m_worker.join(); // the last one has ended: its outcome was handed over
    }
    (void)curlReady(); // the library is set up on this thread, before any worker uses it
    m_cancel->store(false);
    m_sending->store(true);
    // The worker works on its own copies: the window may change the message meanwhile.
    m_worker = std::thread([message = m_message, options = m_options, account = m_account,
                            serverText, portText, cancel = m_cancel, sendingFlag = m_sending,
                            done = std::move(done)] {
        SendOutcome outcome;
        try {
            outcome = sendMessage(message, options, account, serverText, portText, cancel.get());
        } catch (const std::exception& e) {
            outcome = {false, {QString::fromUtf8(e.what()), kNotSent}};
        }
        sendingFlag->store(false);
        if (done) {
            done(outcome);
        }
    });
}

} // namespace vu
