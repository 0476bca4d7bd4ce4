#include "reports/report_mail.h"

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

SendOutcome ReportMail::send(const QString& serverText, const QString& portText) const {
    const std::optional<int> port = portNumber(portText);
    if (!port) {
        return {false,
                {QStringLiteral("Le port SMTP \"%1\" n'est pas un nombre entier de 1 à 65535")
                     .arg(portText),
                 kNotSent}};
    }
    // Without an accepted recipient the report would reach only the copy address.
    if (m_message.to.isEmpty()) {
        return {false, {kCommitteeRejected, kNotSent}};
    }
    try {
        sendMail({serverText, *port, m_options.connectTimeoutMs, m_options.timeoutMs}, m_message);
    } catch (const AppError& e) {
        return {false, {e.message(), kNotSent}};
    }
    return {true,
            {QStringLiteral("         Vos fichiers compte rendus ont été envoyés au  correcteur")}};
}

} // namespace vu
