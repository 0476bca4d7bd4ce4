#include "platform/smtp_send.h"

#include "platform/curl_support.h"
#include "platform/durable_file.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <QUuid>

namespace vu {

namespace {

// A header value goes out as it is: a line break in it would start a header of its own.
void checkHeaderValue(const char* name, const QString& value) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            throw AppError(QStringLiteral("En-tête \"%1\" incorrect : caractère de contrôle")
                               .arg(QLatin1String(name)));
        }
    }
}

// A header text in ASCII as it is, otherwise as one UTF-8 encoded word.
QByteArray headerText(const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return "=?UTF-8?B?" + utf8.toBase64() + "?=";
        }
    }
    return utf8;
}

void appendLine(CurlPtr<curl_slist>& list, const QByteArray& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.constData());
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    (void)list.release(); // the same list, grown by one item (or its first item)
    list.reset(grown);
}

void appendHeader(CurlPtr<curl_slist>& list, const char* name, const QString& value) {
    checkHeaderValue(name, value);
    appendLine(list, QByteArray(name) + ": " + headerText(value));
}

QString messageId(const QString& from) {
    const QString domain = from.mid(from.lastIndexOf(u'@') + 1);
    return u'<' + QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' + domain + u'>';
}

[[noreturn]] void fail(CURLcode code, const char* detail) {
    throw AppError(curlErrorText(code, detail));
}

void check(CURLcode code) {
    if (code != CURLE_OK) {
        fail(code, "");
    }
}

CurlPtr<CURLU> serverUrl(const SmtpServer& server) {
    CurlPtr<CURLU> url(curl_url());
    if (!url) {
        throw std::bad_alloc();
    }
    const QByteArray host = server.host.toUtf8();
    const QByteArray port = QByteArray::number(server.port);
    for (const auto& [part, value] :
         {std::pair{CURLUPART_SCHEME, QByteArray("smtp")}, std::pair{CURLUPART_HOST, host},
          std::pair{CURLUPART_PORT, port}}) {
        const CURLUcode rc = curl_url_set(url.get(), part, value.constData(), 0);
        if (rc != CURLUE_OK) {
            throw AppError(QStringLiteral("Serveur SMTP \"%1\" : %2")
                               .arg(server.host, QString::fromUtf8(curl_url_strerror(rc))));
        }
    }
    return url;
}

} // namespace

void sendMail(const SmtpServer& server, const MailMessage& message) {
    CurlPtr<CURLU> url = serverUrl(server);
    CurlPtr<CURL> curl(curlReady() ? curl_easy_init() : nullptr);
    if (!curl) {
        throw AppError(QStringLiteral("Initialisation de l'envoi impossible"));
    }
    CURL* h = curl.get();

    CurlPtr<curl_slist> headers;
    appendHeader(headers, "From", message.from);
    appendHeader(headers, "Reply-To", message.replyTo);
    if (!message.to.isEmpty()) {
        appendHeader(headers, "To", message.to);
    }
    if (!message.cc.isEmpty()) {
        appendHeader(headers, "Cc", message.cc);
    }
    appendHeader(headers, "Date", message.date.toString(Qt::RFC2822Date));
    appendHeader(headers, "Subject", message.subject);
    appendHeader(headers, "Message-ID", messageId(message.from));
    appendHeader(headers, "X-Priority", QStringLiteral("3 (Normal)"));

    CurlPtr<curl_slist> recipients;
    for (const QString* address : {&message.to, &message.cc}) {
        if (!address->isEmpty()) {
            appendLine(recipients, '<' + address->toUtf8() + '>');
        }
    }

    CurlPtr<curl_mime> mime(curl_mime_init(h));
    curl_mimepart* text = curl_mime_addpart(mime.get());
    const QByteArray body = message.body.toUtf8();
    check(curl_mime_data(text, body.constData(), body.size()));
    check(curl_mime_type(text, "text/plain; charset=UTF-8"));
    check(curl_mime_encoder(text, "quoted-printable"));
    if (!message.attachmentPath.isEmpty()) {
        // Read now, so that a missing or unreadable file reports the file error itself.
        const QByteArray bytes = readWholeFile(message.attachmentPath);
        const QByteArray name = QFileInfo(message.attachmentPath).fileName().toUtf8();
        curl_mimepart* file = curl_mime_addpart(mime.get());
        check(curl_mime_data(file, bytes.constData(), bytes.size()));
        check(curl_mime_filename(file, name.constData()));
        check(curl_mime_type(file, "text/plain; charset=windows-1252"));
        check(curl_mime_encoder(file, "base64"));
    }

    const QByteArray sender = '<' + message.from.toUtf8() + '>';
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_CURLU, url.get());
    curl_easy_setopt(h, CURLOPT_PROXY, ""); // a mail server is reached directly
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(server.connectTimeoutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(server.timeoutMs));
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, sender.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());
    const CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK) {
        fail(rc, error);
    }
}

} // namespace vu
