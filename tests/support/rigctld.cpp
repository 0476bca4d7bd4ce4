#include "support/rigctld.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vu::test {

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A socket connected to 127.0.0.1:port, or -1.
int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

quint16 freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        throw std::runtime_error("no free port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

Rigctld::Rigctld(quint16 port) : m_port(port != 0 ? port : freeLoopbackPort()) {
    start();
}

Rigctld::~Rigctld() {
    stop();
}

QString Rigctld::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

bool Rigctld::running() const {
    return m_process && m_process->state() == QProcess::Running;
}

void Rigctld::start() {
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    // Ends with the test program even when a sanitizer aborts it before any destructor runs.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process->start(QStringLiteral("rigctld"),
                     {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                      QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(m_port)});
    if (!m_process->waitForStarted(5000)) {
        throw std::runtime_error("rigctld did not start");
    }
    // Up to ten seconds for it to listen (or to die).
    QElapsedTimer waited;
    waited.start();
    bool listening = false;
    while (!listening && running() && waited.elapsed() < 10000) {
        const int fd = connectTo(m_port);
        listening = fd >= 0;
        if (listening) {
            ::close(fd);
        } else {
            QThread::msleep(20);
        }
    }
    if (!listening || !running()) {
        throw std::runtime_error("rigctld does not listen");
    }
}

void Rigctld::stop() {
    if (m_process) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
        m_process.reset();
    }
}

bool Rigctld::setFrequency(double hz) {
    QProcess rigctl;
    rigctl.start(QStringLiteral("rigctl"),
                 {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"), address(),
                  QStringLiteral("F"), QString::number(static_cast<qint64>(hz))});
    return rigctl.waitForFinished(10000) && rigctl.exitStatus() == QProcess::NormalExit &&
           rigctl.exitCode() == 0;
}

RigRecorder::RigRecorder(quint16 rigctldPort) : m_upstream(rigctldPort) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), size) != 0 ||
        ::listen(m_listener, 8) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(m_listener);
        throw std::runtime_error("recorder cannot listen");
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

RigRecorder::~RigRecorder() {
    m_stop = true;
    m_acceptor.join();
    for (std::thread& relay : m_relays) {
        relay.join();
    }
    ::close(m_listener);
}

QString RigRecorder::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void RigRecorder::acceptLoop() {
    while (!m_stop) {
        pollfd wait{m_listener, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) {
            continue;
        }
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            m_relays.emplace_back([this, client] { relay(client); });
        }
    }
}

void RigRecorder::relay(int client) {
    const int upstream = connectTo(m_upstream);
    QByteArray pending;
    pollfd fds[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
    char buffer[4096];
    while (!m_stop && upstream >= 0) {
        if (::poll(fds, 2, 50) <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            pending.append(buffer, n);
            for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
                record(pending.left(end));
                pending.remove(0, end + 1);
            }
            if (!writeAll(upstream, buffer, n)) {
                break;
            }
        }
        if (fds[1].revents != 0) {
            const ssize_t n = ::recv(upstream, buffer, sizeof buffer, 0);
            if (n <= 0 || !writeAll(client, buffer, n)) {
                break;
            }
        }
    }
    if (upstream >= 0) {
        ::close(upstream);
    }
    ::close(client);
}

void RigRecorder::record(const QByteArray& line) {
    const std::lock_guard lock(m_mutex);
    m_lines << QString::fromLatin1(line).remove(u'\r');
}

QStringList RigRecorder::lines() const {
    const std::lock_guard lock(m_mutex);
    return m_lines;
}

QStringList RigRecorder::morse() const {
    static const QRegularExpression command(QStringLiteral(R"(^\+?(?:b|\\send_morse) (.*)$)"));
    QStringList texts;
    for (const QString& line : lines()) {
        const QRegularExpressionMatch match = command.match(line);
        if (match.hasMatch()) {
            texts << match.captured(1);
        }
    }
    return texts;
}

int RigRecorder::stops() const {
    static const QRegularExpression command(QStringLiteral(R"(^\+?\\stop_morse\b)"));
    return static_cast<int>(lines().filter(command).size());
}

std::vector<int> RigRecorder::speeds() const {
    static const QRegularExpression command(
        QStringLiteral(R"(^\+?(?:L|\\set_level) (?:\S+ )?KEYSPD (\d+))"));
    std::vector<int> speeds;
    for (const QString& line : lines()) {
        const QRegularExpressionMatch match = command.match(line);
        if (match.hasMatch()) {
            speeds.push_back(match.captured(1).toInt());
        }
    }
    return speeds;
}

} // namespace vu::test
