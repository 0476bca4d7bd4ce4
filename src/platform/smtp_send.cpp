#include "platform/smtp_send.h"

#include "platform/curl_support.h"
#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace vu {

namespace {

// Header lines are folded before this many octets, as RFC 5322 recommends (it allows 998).
constexpr qsizetype kFoldAt = 78;
// The longest address SMTP carries.
constexpr qsizetype kMaxAddress = 254;
// The largest piece of UTF-8 text one encoded word of at most 75 characters holds in base64.
constexpr qsizetype kEncodedWordBytes = 45;

// A header value goes out as it is: a line break in it would start a header of its own.
void checkHeaderValue(const char* name, const QString& value) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            throw AppError(QStringLiteral("En-tête \"%1\" incorrect : caractère de contrôle")
                               .arg(QLatin1String(name)));
        }
    }
}

bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// An address goes into the envelope and the headers as it is: it must be ASCII (a server
// refuses an 8-bit envelope, or takes a From it cannot read) and of SMTP's length.
QByteArray addressBytes(const char* name, const QString& address) {
    checkHeaderValue(name, address);
    const QByteArray bytes = address.toUtf8();
    if (!isAscii(bytes)) {
        throw AppError(QStringLiteral("L'adresse %1 contient des caractères non ASCII (accents) : "
                                      "les serveurs de messagerie la refusent")
                           .arg(address));
    }
    if (bytes.size() > kMaxAddress) {
        throw AppError(QStringLiteral("L'adresse %1 est trop longue").arg(address));
    }
    return bytes;
}

// One header line, folded at the blanks so that no line passes kFoldAt octets where it can.
QByteArray foldedAscii(const QByteArray& name, const QByteArray& value) {
    QByteArray out = name + ": ";
    qsizetype lineStart = 0;
    const QList<QByteArray> words = value.split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArray& word = words[i];
        if (i > 0) {
            if (out.size() - lineStart + 1 + word.size() > kFoldAt) {
                out += "\r\n";
                lineStart = out.size();
            }
            out += ' ';
        }
        out += word;
    }
    return out;
}

// A header text: ASCII that folds within the limits as it is, otherwise UTF-8 encoded words
// of at most 75 characters, one per line (a reader joins adjacent encoded words), so that even a
// text without blanks never gives a line beyond kFoldAt octets.
QByteArray headerLine(const char* name, const QString& value) {
    checkHeaderValue(name, value);
    const QByteArray utf8 = value.toUtf8();
    const QByteArray folded = foldedAscii(name, utf8);
    bool fits = isAscii(utf8);
    for (const QByteArray& line : folded.split('\n')) {
        fits = fits && line.size() <= kFoldAt + 1; // the CR of a folded line included
    }
    if (fits) {
        return folded;
    }
    QByteArray out = QByteArray(name) + ":";
    qsizetype start = 0;
    while (start < utf8.size()) {
        // A word fits its line: after the name on the first, after one blank on the others.
        const qsizetype lead = start == 0 ? out.size() + 1 : 1;
        const qsizetype room = std::min(kEncodedWordBytes, (kFoldAt - lead - 12) / 4 * 3);
        qsizetype end = std::min(start + room, utf8.size());
        // Never cut inside a character: back to the start of the one that crosses the limit.
        while (end < utf8.size() && end > start &&
               (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            --end;
        }
        out += (start == 0 ? " " : "\r\n ") + QByteArray("=?UTF-8?B?") +
               utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return out;
}

// The attachment's Content-Disposition: a plain name as it is, any other one as RFC 2231
// says, percent-encoded UTF-8 cut into numbered pieces on lines of their own.
QByteArray dispositionLine(const QString& fileName) {
    const QByteArray utf8 = fileName.toUtf8();
    bool plain = utf8.size() <= 34; // the whole line within kFoldAt
    for (const char c : utf8) {
        plain = plain && c > 0x20 && c < 0x7F && c != '"' && c != '\\';
    }
    if (plain) {
        return "Content-Disposition: attachment; filename=\"" + utf8 + '"';
    }
    const QByteArray encoded =
        utf8.toPercentEncoding("!#$&+^`{}|~", QByteArray(), '%'); // RFC 2231 attribute-chars
    QByteArray out = "Content-Disposition: attachment";
    constexpr qsizetype kPiece = 50;
    int n = 0;
    for (qsizetype at = 0; at < encoded.size(); ++n) {
        qsizetype end = std::min(at + kPiece, encoded.size());
        // A "%XX" stays whole.
        if (end < encoded.size()) {
            if (encoded[end - 1] == '%') {
                end -= 1;
            } else if (end >= 2 && encoded[end - 2] == '%') {
                end -= 2;
            }
        }
        out += ";\r\n filename*" + QByteArray::number(n) + "*=" + (n == 0 ? "UTF-8''" : "") +
               encoded.mid(at, end - at);
        at = end;
    }
    return out;
}

// Base64 in lines of 76 characters, each ended by CR LF.
QByteArray base64Lines(const QByteArray& bytes) {
    const QByteArray encoded = bytes.toBase64();
    QByteArray out;
    for (qsizetype at = 0; at < encoded.size(); at += 76) {
        out += encoded.mid(at, 76) + "\r\n";
    }
    return out;
}

// The message handed to the library as it asks for it.
struct MessageReader {
    const QByteArray& text;
    qsizetype done = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* reader = static_cast<MessageReader*>(user);
    const qsizetype n =
        std::min(static_cast<qsizetype>(size * count), reader->text.size() - reader->done);
    std::memcpy(buffer, reader->text.constData() + reader->done, static_cast<size_t>(n));
    reader->done += n;
    return static_cast<size_t>(n);
}

void appendLine(CurlPtr<curl_slist>& list, const QByteArray& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.constData());
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    (void)list.release(); // the same list, grown by one item (or its first item)
    list.reset(grown);
}

QString messageId(const QString& from) {
    const QString domain = from.mid(from.lastIndexOf(u'@') + 1);
    return u'<' + QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' + domain + u'>';
}

CurlPtr<CURLU> serverUrl(const SmtpServer& server, SmtpSecurity security) {
    CurlPtr<CURLU> url(curl_url());
    if (!url) {
        throw std::bad_alloc();
    }
    const QByteArray host = server.host.toUtf8();
    const QByteArray port = QByteArray::number(server.port);
    const QByteArray scheme = security == SmtpSecurity::Tls ? "smtps" : "smtp";
    for (const auto& [part, value] :
         {std::pair{CURLUPART_SCHEME, scheme}, std::pair{CURLUPART_HOST, host},
          std::pair{CURLUPART_PORT, port}}) {
        const CURLUcode rc = curl_url_set(url.get(), part, value.constData(), 0);
        if (rc != CURLUE_OK) {
            throw AppError(QStringLiteral("Serveur SMTP \"%1\" : %2")
                               .arg(server.host, QString::fromUtf8(curl_url_strerror(rc))));
        }
    }
    return url;
}

// What the exchange with the server showed, followed from the library's trace of commands and
// replies, and the limits it runs under.
struct Exchange {
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool>* cancel = nullptr;
    bool timedOut = false;
    bool cancelled = false;

    QByteArray lastCommand;
    QByteArray lastFailure; // the server's last reply that refused something
    QStringList refused;    // recipients refused, with the reply
    QByteArray refusedTo;   // the To address, when it was refused
    QByteArray toAddress;
    bool bodyStarted = false; // the server asked for the message (354)
    bool finalAnswer = false; // and answered its end
};

int traceExchange(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* x = static_cast<Exchange*>(user);
    const QByteArray text = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
    if (type == CURLINFO_HEADER_OUT) {
        x->lastCommand = text;
    } else if (type == CURLINFO_HEADER_IN && !text.isEmpty()) {
        const bool failure = text.startsWith('4') || text.startsWith('5');
        if (failure) {
            x->lastFailure = text;
        }
        if (x->bodyStarted) {
            x->finalAnswer = true;
        } else if (x->lastCommand.startsWith("DATA") && text.startsWith("354")) {
            x->bodyStarted = true;
        } else if (x->lastCommand.startsWith("RCPT TO:") && failure) {
            const QByteArray address = x->lastCommand.mid(8).trimmed();
            const QByteArray bare = address.mid(1, address.size() - 2);
            x->refused << QString::fromUtf8(bare + " : " + text);
            if (bare == x->toAddress) {
                x->refusedTo = text;
            }
        }
    }
    return 0;
}

// Ends the exchange at the deadline or on a cancel, whatever phase it is in (the wait for the
// answer to the message's end included).
int watchExchange(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* x = static_cast<Exchange*>(user);
    if (x->cancel != nullptr && x->cancel->load()) {
        x->cancelled = true;
        return 1;
    }
    if (std::chrono::steady_clock::now() >= x->deadline) {
        x->timedOut = true;
        return 1;
    }
    return 0;
}

// The certificates to trust: the system's bundle and the account's file after it (the library
// takes one bundle, and the file alone would leave out the system's authorities).
QByteArray trustedCertificates(CURL* h, const QString& caFile) {
    QByteArray bundle;
    char* systemBundle = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_CAINFO, &systemBundle) == CURLE_OK &&
        systemBundle != nullptr) {
        QFile file(QFile::decodeName(systemBundle));
        if (file.open(QIODevice::ReadOnly)) {
            bundle = file.readAll() + '\n';
        }
    }
    return bundle + readWholeFile(caFile, kTextFileLimit);
}

// The failures the operator can act on, in his words, then the library's.
QString failureText(CURLcode code, const char* detail) {
    QString words;
    switch (code) {
    case CURLE_LOGIN_DENIED:
        words = QStringLiteral("Authentification refusée par le serveur");
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        words = QStringLiteral("Certificat du serveur non reconnu");
        break;
    case CURLE_USE_SSL_FAILED:
        words = QStringLiteral("Le serveur ne propose pas de connexion sécurisée");
        break;
    default:
        return curlErrorText(code, detail);
    }
    const QString library = QString::fromUtf8(
        detail != nullptr && detail[0] != '\0' ? detail : curl_easy_strerror(code));
    return words + QStringLiteral(" (") + library + u')';
}

// The server's own words, after ours.
QString withReply(const QString& text, const QByteArray& reply) {
    if (reply.isEmpty() || !(reply.startsWith('4') || reply.startsWith('5'))) {
        return text;
    }
    return text + QStringLiteral(" ; réponse du serveur : ") + QString::fromUtf8(reply);
}

} // namespace

SendReport sendMail(const SmtpServer& server, const MailAccount& account,
                    const MailMessage& message, const std::atomic<bool>* cancel) {
    CurlPtr<CURLU> url = serverUrl(server, account.security);
    CurlPtr<CURL> curl(curlReady() ? curl_easy_init() : nullptr);
    if (!curl) {
        throw AppError(QStringLiteral("Initialisation de l'envoi impossible"));
    }
    CURL* h = curl.get();

    // The message is written here whole, headers and MIME parts, so that every line of it
    // keeps within the limits (the library's own MIME writes a longer boundary line).
    const QByteArray sender = addressBytes("From", message.from);
    QByteArray text = "From: " + sender + "\r\n";
    text += "Reply-To: " + addressBytes("Reply-To", message.replyTo) + "\r\n";
    CurlPtr<curl_slist> recipients;
    Exchange exchange;
    if (!message.to.isEmpty()) {
        exchange.toAddress = addressBytes("To", message.to);
        text += "To: " + exchange.toAddress + "\r\n";
        appendLine(recipients, '<' + exchange.toAddress + '>');
    }
    if (!message.cc.isEmpty()) {
        const QByteArray cc = addressBytes("Cc", message.cc);
        text += "Cc: " + cc + "\r\n";
        appendLine(recipients, '<' + cc + '>');
    }
    text += headerLine("Date", message.date.toString(Qt::RFC2822Date)) + "\r\n";
    text += headerLine("Subject", message.subject) + "\r\n";
    text += headerLine("Message-ID", messageId(message.from)) + "\r\n";
    text += "X-Priority: 3 (Normal)\r\nMIME-Version: 1.0\r\n";
    const QByteArray boundary =
        "=_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1(); // never in base64 text
    text += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n";
    text += "--" + boundary + "\r\nContent-Type: text/plain; charset=UTF-8\r\n" +
            "Content-Transfer-Encoding: base64\r\n\r\n" + base64Lines(message.body.toUtf8());
    if (!message.attachmentPath.isEmpty()) {
        // Read now, so that a missing or unreadable file reports the file error itself.
        const QByteArray bytes = readWholeFile(message.attachmentPath, kContestFileLimit);
        text += "--" + boundary + "\r\nContent-Type: text/plain; charset=windows-1252\r\n" +
                dispositionLine(QFileInfo(message.attachmentPath).fileName()) + "\r\n" +
                "Content-Transfer-Encoding: base64\r\n\r\n" + base64Lines(bytes);
    }
    text += "--" + boundary + "--\r\n";
    MessageReader reader{text, 0};

    // One limit for the whole exchange: the library's own for the transfer, the same for each
    // answer awaited (its default is two minutes, beyond the limit), and the progress watch for
    // the rest, since the answer to the message's end and the goodbye are awaited outside the
    // transfer's limit. The connection is closed with the transfer, so its goodbye is awaited
    // under the watch too.
    exchange.deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(server.timeoutMs);
    exchange.cancel = cancel;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_CURLU, url.get());
    curl_easy_setopt(h, CURLOPT_PROXY, ""); // a mail server is reached directly
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(server.connectTimeoutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(server.timeoutMs));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(1, (server.timeoutMs + 999) / 1000)));
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, watchExchange);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, traceExchange);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &exchange);
    // STARTTLS or nothing; implicit TLS comes with the "smtps" address.
    curl_easy_setopt(h, CURLOPT_USE_SSL,
                     static_cast<long>(account.security == SmtpSecurity::StartTls
                                           ? CURLUSESSL_ALL
                                           : CURLUSESSL_NONE));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    QByteArray certificates;
    if (!account.caFile.isEmpty()) {
        certificates = trustedCertificates(h, account.caFile);
        curl_blob blob{certificates.data(), static_cast<size_t>(certificates.size()),
                       CURL_BLOB_NOCOPY};
        curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
    }
    const QByteArray login = account.login.toUtf8();
    const QByteArray password = account.password.toUtf8();
    if (!login.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, login.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=*"); // what the server offers
    }
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, ('<' + sender + '>').constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
    // A refused copy stops nothing (the option's name as libcurl 7.88 spells it).
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &reader);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(text.size()));
    const CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK) {
        if (exchange.cancelled) {
            throw AppError(QStringLiteral("Envoi annulé"));
        }
        const bool allSent = exchange.bodyStarted && reader.done == reader.text.size();
        if (allSent && !exchange.finalAnswer) {
            throw MailUnconfirmed(QStringLiteral(
                "Le message a été envoyé en entier, mais le serveur n'a pas confirmé sa "
                "réception à temps : il est peut-être arrivé"));
        }
        const CURLcode reported = exchange.timedOut ? CURLE_OPERATION_TIMEDOUT : rc;
        throw AppError(
            withReply(failureText(reported, exchange.timedOut ? "" : error), exchange.lastFailure));
    }
    if (!exchange.refusedTo.isEmpty()) {
        // Only the copy took it.
        throw AppError(withReply(QStringLiteral("Le serveur a refusé l'adresse %1").arg(message.to),
                                 exchange.refusedTo));
    }
    return {exchange.refused};
}

} // namespace vu
