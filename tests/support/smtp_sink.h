#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vu::test {

// A real SMTP server on 127.0.0.1 (Debian's aiosmtpd), started for one test and stopped with
// it. Each message it accepts is kept as a JSON object: "mailFrom", "rcptTos", "headers" (the
// decoded header fields), "parts" (each leaf part's "filename", "contentType" and decoded
// bytes as "hex") and "longestHeaderLine" (in octets, as sent).
class SmtpSink {
public:
    // `options` change its answers (see smtp_sink.py): {"--stall-data"}, {"--drop-data"},
    // {"--refuse-rcpt", address}, {"--reject-data", "554 ..."}.
    explicit SmtpSink(const QStringList& options = {});
    ~SmtpSink();
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    // The port it listens on; 0 when it could not start.
    [[nodiscard]] int port() const { return m_port; }
    // The n-th message received (from 1), waiting for it up to `timeoutMs`; empty when none.
    [[nodiscard]] QJsonObject message(int n, int timeoutMs = 10000) const;
    // How many messages have arrived so far.
    [[nodiscard]] int messageCount() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

// A loopback TCP port held while the object lives: a Refusing port is bound but does not
// listen, so connecting to it is refused; a Silent port takes connections and never says a word.
class LoopbackPort {
public:
    enum Kind { Refusing, Silent };
    explicit LoopbackPort(Kind kind);
    ~LoopbackPort();
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;
    // 0 when no socket could be had.
    [[nodiscard]] int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace vu::test
