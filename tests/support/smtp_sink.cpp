#include "support/smtp_sink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vu::test {

SmtpSink::SmtpSink(const QStringList& options) {
    if (!m_dir.isValid()) {
        return;
    }
    // Debian's Python modules load only in the system interpreter.
    m_process.start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral(VARURAV_TEST_SUPPORT_DIR "/smtp_sink.py"), m_dir.path()} +
            options);
    m_process.closeWriteChannel();
    const QDeadlineTimer deadline(20000);
    while (!m_process.canReadLine() && !deadline.hasExpired() &&
           m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(200);
    }
    if (m_process.canReadLine()) {
        m_port = m_process.readLine().trimmed().toInt();
    }
}

SmtpSink::~SmtpSink() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QJsonObject SmtpSink::message(int n, int timeoutMs) const {
    const QString path = m_dir.filePath(QStringLiteral("%1.json").arg(n));
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFile::exists(path) && !deadline.hasExpired()) {
        QThread::msleep(20);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

int SmtpSink::messageCount() const {
    return static_cast<int>(
        QDir(m_dir.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size());
}

LoopbackPort::LoopbackPort(Kind kind) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
        (kind == Refusing || ::listen(m_fd, 8) == 0) &&
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        m_port = ntohs(addr.sin_port);
    }
}

LoopbackPort::~LoopbackPort() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

} // namespace vu::test
