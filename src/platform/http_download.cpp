#include "platform/http_download.h"

#include "platform/curl_support.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <curl/curl.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace vu {

namespace {

// A reference file is a few hundred kilobytes; a body beyond this is not what we asked for.
constexpr curl_off_t kMaxBodyBytes = 64 * 1024 * 1024;

using CurlHandle = CurlPtr<CURL>;
using HeaderList = CurlPtr<curl_slist>;

// One configured HTTPS transfer: HTTPS only (redirects included), bounded in time, never from a
// cache and never over a connection kept from an earlier transfer.
class Transfer {
public:
    Transfer(const QString& url, const HttpOptions& options, int totalTimeoutMs)
        : m_url(url.toUtf8()), m_caBundle(QFile::encodeName(options.caBundle)) {
        if (!curlReady()) {
            return;
        }
        m_handle.reset(curl_easy_init());
        if (!m_handle) {
            return;
        }
        CURL* h = m_handle.get();
        curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
        headers = headers != nullptr ? curl_slist_append(headers, "Pragma: no-cache") : nullptr;
        m_headers.reset(headers);
        curl_easy_setopt(h, CURLOPT_URL, m_url.constData());
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https");
        curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeoutMs));
        curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, m_headers.get());
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_errorText);
        if (!m_caBundle.isEmpty()) {
            curl_easy_setopt(h, CURLOPT_CAINFO, m_caBundle.constData());
        }
    }

    [[nodiscard]] CURL* handle() const { return m_handle.get(); }

    // Runs the transfer; an empty text means it completed with a 2xx status.
    [[nodiscard]] QString perform() {
        if (!m_handle) {
            return QStringLiteral("the download library could not start");
        }
        const CURLcode code = curl_easy_perform(m_handle.get());
        if (code != CURLE_OK) {
            return curlErrorText(code, m_errorText);
        }
        long status = 0;
        curl_easy_getinfo(m_handle.get(), CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status >= 300) {
            return QStringLiteral("HTTP status %1").arg(status);
        }
        return {};
    }

private:
    QByteArray m_url;
    QByteArray m_caBundle;
    CurlHandle m_handle;
    HeaderList m_headers;
    char m_errorText[CURL_ERROR_SIZE] = {};
};

struct FileSink {
    int fd = -1;
    curl_off_t written = 0;
    int error = 0;
    bool chunked = false; // the last response's body came in chunks
};

// Notes whether the final response is chunked: libcurl reports a chunked body cut before its
// last chunk as an error, but takes a body without length or chunks as whole when the
// connection closes, even when it closed early.
size_t readHeader(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed().toLower();
    if (line.startsWith("http/")) {
        sink->chunked = false; // a new response (after a redirect or a 100 Continue)
    } else if (line.startsWith("transfer-encoding:") && line.contains("chunked")) {
        sink->chunked = true;
    }
    return bytes;
}

// Why a completed transfer may still be cut: its end was never announced.
QString framingProblem(CURL* handle, const FileSink& sink) {
    long version = 0;
    curl_easy_getinfo(handle, CURLINFO_HTTP_VERSION, &version);
    if (version >= CURL_HTTP_VERSION_2_0) {
        return {}; // each stream ends with a frame of its own
    }
    curl_off_t length = -1;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length >= 0) {
        return length == sink.written ? QString()
                                      : QStringLiteral("the file arrived incomplete (%1 of %2 "
                                                       "bytes)")
                                            .arg(sink.written)
                                            .arg(length);
    }
    if (sink.chunked) {
        return {};
    }
    return QStringLiteral("the server did not say where the file ends: it may be incomplete");
}

size_t writeToSink(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    const size_t bytes = size * count;
    if (sink->written + static_cast<curl_off_t>(bytes) > kMaxBodyBytes) {
        sink->error = EFBIG;
        return 0;
    }
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::write(sink->fd, data + done, bytes - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            sink->error = errno;
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    sink->written += static_cast<curl_off_t>(bytes);
    return bytes;
}

} // namespace

DownloadResult downloadToFile(const QString& url, const QString& target, const HttpOptions& options,
                              const BodyCheck& check) {
    const QByteArray temp = QFile::encodeName(target + QStringLiteral(".download~"));
    FileSink sink;
    sink.fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (sink.fd < 0) {
        return {false, QString::fromLocal8Bit(std::strerror(errno))};
    }
    QString error;
    bool wrongContent = false;
    {
        Transfer transfer(url, options, options.totalTimeoutMs);
        if (transfer.handle() != nullptr) {
            curl_easy_setopt(transfer.handle(), CURLOPT_FAILONERROR, 1L);
            curl_easy_setopt(transfer.handle(), CURLOPT_MAXFILESIZE_LARGE, kMaxBodyBytes);
            curl_easy_setopt(transfer.handle(), CURLOPT_WRITEFUNCTION, writeToSink);
            curl_easy_setopt(transfer.handle(), CURLOPT_WRITEDATA, &sink);
            curl_easy_setopt(transfer.handle(), CURLOPT_HEADERFUNCTION, readHeader);
            curl_easy_setopt(transfer.handle(), CURLOPT_HEADERDATA, &sink);
        }
        error = transfer.perform();
        if (error.isEmpty() && sink.error == 0) {
            error = framingProblem(transfer.handle(), sink);
        }
    }
    if (error.isEmpty() && sink.error != 0) {
        error = QString::fromLocal8Bit(std::strerror(sink.error));
    }
    if (error.isEmpty() && sink.written == 0) {
        error = QStringLiteral("the server sent an empty file");
    }
    if (error.isEmpty() && ::fsync(sink.fd) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (::close(sink.fd) != 0 && error.isEmpty()) {
        error = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (error.isEmpty() && check) {
        // What arrived is checked before it takes the place of the file that works.
        try {
            error = check(readWholeFile(QFile::decodeName(temp), kMaxBodyBytes));
        } catch (const AppError& e) {
            error = e.message();
        }
        wrongContent = !error.isEmpty();
    }
    if (error.isEmpty() && ::rename(temp.constData(), QFile::encodeName(target).constData()) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!error.isEmpty()) {
        ::unlink(temp.constData());
        return {false, error, wrongContent};
    }
    syncDirectoryOf(target);
    return {true, {}};
}

bool urlReachable(const QString& url, const HttpOptions& options) {
    HttpOptions probe = options;
    probe.connectTimeoutMs = std::min(options.connectTimeoutMs, options.probeTimeoutMs);
    Transfer transfer(url, probe, options.probeTimeoutMs);
    if (transfer.handle() == nullptr) {
        return false;
    }
    // Any answer of the server counts, whatever its status.
    curl_easy_setopt(transfer.handle(), CURLOPT_NOBODY, 1L);
    const CURLcode code = curl_easy_perform(transfer.handle());
    return code == CURLE_OK;
}

} // namespace vu
