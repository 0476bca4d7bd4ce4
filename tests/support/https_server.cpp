#include "support/https_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vu::test {

namespace {

// Debian's Python modules (ssl among them) load only in the system interpreter.
const QString kPython = QStringLiteral("/usr/bin/python3");

const char kServerScript[] = R"PY(
import functools, http.server, ssl, sys, time

root, cert, key = sys.argv[1:4]

class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path.startswith('/stall'):
            time.sleep(120)
            return
        for prefix, mode in (('/cut/', 'close'), ('/chunkcut/', 'chunkcut'),
                             ('/chunked/', 'chunked')):
            if self.path.startswith(prefix):
                self.send_framed('/' + self.path[len(prefix):], mode)
                return
        if self.path.startswith('/truncated'):
            self.send_response(200)
            self.send_header('Content-Length', '1000')
            self.end_headers()
            self.wfile.write(b'0123456789')
            self.wfile.flush()
            self.close_connection = True
            return
        super().do_GET()

    # Serves the first half of a file without a length ('close'), or the file in two chunks,
    # with the final chunk ('chunked') or without it ('chunkcut'), then closes the connection.
    def send_framed(self, path, mode):
        with open(root + path, 'rb') as f:
            body = f.read()
        half = body[:len(body) // 2]
        out = self.wfile
        if mode == 'close':
            out.write(b'HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n' + half)
        else:
            out.write(b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n'
                      b'Connection: close\r\n\r\n')
            out.write(b'%x\r\n%s\r\n' % (len(half), half))
            if mode == 'chunked':
                rest = body[len(half):]
                if rest:
                    out.write(b'%x\r\n%s\r\n' % (len(rest), rest))
                out.write(b'0\r\n\r\n')
        out.flush()
        self.close_connection = True

server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                         functools.partial(Handler, directory=root))
server.daemon_threads = True
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";

bool run(const QString& program, const QStringList& args, QString& error) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace

bool makeTestCertificate(const QString& certificate, const QString& key, QString& error) {
    return run(QStringLiteral("openssl"),
               {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", certificate},
               error);
}

TestCertificate::TestCertificate() {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    const QString certificate = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    if (makeTestCertificate(certificate, key, m_error)) {
        m_certificate = certificate;
        m_key = key;
    }
}

LocalHttpsServer::LocalHttpsServer() = default;

LocalHttpsServer::~LocalHttpsServer() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool LocalHttpsServer::start() {
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("root"))) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    if (!makeTestCertificate(cert, key, m_error)) {
        return false;
    }
    const QString script = m_dir.filePath(QStringLiteral("server.py"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(kServerScript) < 0) {
        m_error = QStringLiteral("cannot write the server script");
        return false;
    }
    file.close();

    m_process.start(kPython, {script, root(), cert, key});
    if (!m_process.waitForStarted(10000) || !m_process.waitForReadyRead(20000)) {
        m_error = QStringLiteral("the server did not start: ") +
                  QString::fromLocal8Bit(m_process.readAllStandardError());
        return false;
    }
    m_port = m_process.readLine().trimmed().toInt();
    if (m_port <= 0) {
        m_error = QStringLiteral("the server gave no port");
        return false;
    }
    return true;
}

QString LocalHttpsServer::url() const {
    return QStringLiteral("https://127.0.0.1:%1").arg(m_port);
}

void LocalHttpsServer::serve(const QString& path, const QByteArray& bytes) const {
    const QString target = root() + path;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

HttpOptions LocalHttpsServer::clientOptions() const {
    HttpOptions options;
    options.caBundle = m_dir.filePath(QStringLiteral("cert.pem"));
    options.connectTimeoutMs = 2000;
    options.totalTimeoutMs = 1500;
    options.probeTimeoutMs = 1500;
    return options;
}

ReferenceSources LocalHttpsServer::sources() const {
    ReferenceSources sources;
    sources.countryFileServer = url();
    sources.clubServer = url();
    sources.http = clientOptions();
    return sources;
}

QString refusingUrl() {
    // A port that was free a moment ago: bound, read, released.
    int port = 1;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd >= 0) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port = ntohs(address.sin_port);
        }
        ::close(fd);
    }
    return QStringLiteral("https://127.0.0.1:%1").arg(port);
}

} // namespace vu::test
