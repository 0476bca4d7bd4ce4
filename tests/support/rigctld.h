#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QProcess;

namespace vu::test {

// A free TCP port on 127.0.0.1 (free when asked: bind it at once).
[[nodiscard]] quint16 freeLoopbackPort();

// Hamlib's rigctld serving its dummy rig on 127.0.0.1; stopped when destroyed, also when the
// test fails.
class Rigctld {
public:
    // Starts it on `port` (a free one when 0) and waits until it accepts connections.
    explicit Rigctld(quint16 port = 0);
    ~Rigctld();
    Rigctld(const Rigctld&) = delete;
    Rigctld& operator=(const Rigctld&) = delete;

    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] QString address() const;
    [[nodiscard]] bool running() const;
    // Tunes the dummy rig through Hamlib's rigctl; false when rigctl failed.
    bool setFrequency(double hz);
    void stop();
    // Starts it again on the same port.
    void start();

private:
    quint16 m_port;
    std::unique_ptr<QProcess> m_process;
};

// Stands between the program and a rigctld, speaking rigctld's network protocol to the program
// (every line goes on to the rigctld, every answer comes back), and records the lines the
// program sent: the Morse texts, the stops and the keyer speeds.
class RigRecorder {
public:
    explicit RigRecorder(quint16 rigctldPort);
    ~RigRecorder();
    RigRecorder(const RigRecorder&) = delete;
    RigRecorder& operator=(const RigRecorder&) = delete;

    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] QString address() const;
    // Every line the program sent, in order.
    [[nodiscard]] QStringList lines() const;
    // The texts of the send_morse commands ("b TEXT" or "\send_morse TEXT"), in order.
    [[nodiscard]] QStringList morse() const;
    // How many stop_morse commands came.
    [[nodiscard]] int stops() const;
    // The keyer speeds set ("L KEYSPD n"), in order.
    [[nodiscard]] std::vector<int> speeds() const;

private:
    void acceptLoop();
    void relay(int client);
    void record(const QByteArray& line);

    quint16 m_upstream;
    quint16 m_port = 0;
    int m_listener = -1;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QStringList m_lines;
    std::thread m_acceptor;
    std::vector<std::thread> m_relays;
};

} // namespace vu::test
