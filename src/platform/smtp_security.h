#pragma once

#include <QString>

namespace vu {

// How the connection to the mail server is protected: not at all, by STARTTLS after the
// greeting (the send fails when the server does not offer it), or by TLS from the first byte.
enum class SmtpSecurity { None, StartTls, Tls };

// The settings file's word for it: "none", "starttls" or "tls".
[[nodiscard]] inline QString smtpSecurityName(SmtpSecurity security) {
    switch (security) {
    case SmtpSecurity::StartTls:
        return QStringLiteral("starttls");
    case SmtpSecurity::Tls:
        return QStringLiteral("tls");
    case SmtpSecurity::None:
        break;
    }
    return QStringLiteral("none");
}

// The security a word names (any case, blanks around); `fallback` for any other word.
[[nodiscard]] inline SmtpSecurity smtpSecurityFromName(const QString& name, SmtpSecurity fallback) {
    const QString word = name.trimmed().toLower();
    if (word == QLatin1String("none")) {
        return SmtpSecurity::None;
    }
    if (word == QLatin1String("starttls")) {
        return SmtpSecurity::StartTls;
    }
    if (word == QLatin1String("tls")) {
        return SmtpSecurity::Tls;
    }
    return fallback;
}

// What a provider's port means when the list does not say: 465 TLS, 587 STARTTLS, else none.
[[nodiscard]] inline SmtpSecurity smtpSecurityOfPort(const QString& port) {
    const QString p = port.trimmed();
    if (p == QLatin1String("465")) {
        return SmtpSecurity::Tls;
    }
    if (p == QLatin1String("587")) {
        return SmtpSecurity::StartTls;
    }
    return SmtpSecurity::None;
}

} // namespace vu
