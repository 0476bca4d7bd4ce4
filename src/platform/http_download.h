#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace vu {

// How downloads reach their server. Every transfer is bounded in time, so that a dead or
// stalling server cannot freeze the program.
struct HttpOptions {
    QString caBundle;             // certificates to trust instead of the system's; empty: system
    int connectTimeoutMs = 10000; // to set up the connection, TLS included
    int totalTimeoutMs = 30000;   // for the whole transfer
    int probeTimeoutMs = 4000;    // for the reachability test
};

// How a download ended; `error` says why it failed.
struct DownloadResult {
    bool ok = false;
    QString error;
    bool wrongContent = false; // the body arrived whole, but the check refused it (`error`)
};

// Says what is wrong with a received body (the text to show), or nothing when it is what was
// asked for.
using BodyCheck = std::function<QString(const QByteArray& body)>;

// Fetches an HTTPS address into `target`. The body goes to a temporary file beside the target,
// which replaces it only when the transfer completed with a success status, its end was
// announced (the Content-Length reached, or the final chunk; a body that merely stops when the
// connection closes may be cut), the body is not empty and `check` (when given) finds nothing
// wrong with it: a failed, refused, partial or wrong download leaves the target as it was.
// Nothing is served from a cache.
[[nodiscard]] DownloadResult downloadToFile(const QString& url, const QString& target,
                                            const HttpOptions& options,
                                            const BodyCheck& check = {});

// True when an HTTPS server answers at `url` within the probe time-out.
[[nodiscard]] bool urlReachable(const QString& url, const HttpOptions& options);

} // namespace vu
