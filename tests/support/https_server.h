#pragma once

#include "platform/http_download.h"
#include "scoring/reference_sources.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vu::test {

// A real HTTPS server on 127.0.0.1 (a random free port) serving the files of its root folder,
// with a self-signed certificate made when it starts. Besides the files it answers:
//   /stall...      accepts the request and never answers;
//   /truncated...  announces 1000 bytes, sends 10 and closes the connection;
//   /cut/PATH      the first half of the file at PATH, without a length, then closes;
//   /chunkcut/PATH the first half of that file as a chunk, then closes without the last chunk;
//   /chunked/PATH  the whole file in chunks, the last one included.
class LocalHttpsServer {
public:
    LocalHttpsServer();
    ~LocalHttpsServer();
    LocalHttpsServer(const LocalHttpsServer&) = delete;
    LocalHttpsServer& operator=(const LocalHttpsServer&) = delete;

    // Starts the server; false (with the reason in error()) when it could not.
    [[nodiscard]] bool start();
    [[nodiscard]] const QString& error() const { return m_error; }
    // "https://127.0.0.1:PORT".
    [[nodiscard]] QString url() const;
    // The folder whose files are served.
    [[nodiscard]] QString root() const { return m_dir.filePath(QStringLiteral("root")); }
    // Places a file to serve at `path` ("/cty/cty_wt.dat").
    void serve(const QString& path, const QByteArray& bytes) const;
    // Client options that trust the server's certificate, with short time-outs.
    [[nodiscard]] HttpOptions clientOptions() const;
    // Reference sources whose country-file and club servers are this server.
    [[nodiscard]] ReferenceSources sources() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};

// A self-signed certificate for 127.0.0.1 and its key, made with openssl in a folder of its own
// that lives as long as the object; the certificate is its own authority (give it as the CA
// file to trust).
class TestCertificate {
public:
    TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;
    // Empty when it could not be made (the reason in error()).
    [[nodiscard]] const QString& certificate() const { return m_certificate; }
    [[nodiscard]] const QString& key() const { return m_key; }
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QString m_certificate;
    QString m_key;
    QString m_error;
};

// Makes a self-signed certificate for 127.0.0.1 at `certificate`, its key at `key`; false (with
// the reason in `error`) when openssl failed.
[[nodiscard]] bool makeTestCertificate(const QString& certificate, const QString& key,
                                       QString& error);

// An address on 127.0.0.1 where nothing listens.
[[nodiscard]] QString refusingUrl();

} // namespace vu::test
