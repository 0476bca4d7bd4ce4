#pragma once

#include "platform/errors.h"

#include <QString>
#include <vector>

struct s_rig;

namespace vu {

// A transceiver that could not be opened or did not answer; the text is Hamlib's.
class RigError : public AppError {
public:
    using AppError::AppError;
};

// One rig model Hamlib knows.
struct RigModel {
    int id = 0;
    QString maker;
    QString name;
};

// Hamlib's dummy rig (for trials) and its client of a rigctld on the network.
constexpr int kRigModelDummy = 1;
constexpr int kRigModelNetRigctl = 2;

// Every rig model Hamlib knows, by maker then model name.
[[nodiscard]] const std::vector<RigModel>& rigModels();

// One transceiver reached through Hamlib. Not shared between threads: one thread opens it and
// makes every call. Every call that talks to the rig throws RigError when the rig refuses or does
// not answer within the time-out.
class RigControl {
public:
    // `port`: a serial device ("/dev/ttyUSB0") or, for model 2, "host:port" of a rigctld.
    // `serialSpeed` 0 keeps the model's default.
    RigControl(int model, const QString& port, int serialSpeed, int timeoutMs = 1000);
    ~RigControl();
    RigControl(const RigControl&) = delete;
    RigControl& operator=(const RigControl&) = delete;

    void open();
    void close();
    [[nodiscard]] bool isOpen() const { return m_open; }

    // The frequency of the current VFO, in hertz.
    [[nodiscard]] double frequency();
    // Hands the text to the rig's keyer, which sends it in Morse.
    void sendMorse(const QString& text);
    // Stops the Morse being sent.
    void stopMorse();
    // The keyer's speed in words per minute.
    void setKeyerSpeed(int wpm);

private:
    void setConf(const char* name, const QString& value);

    s_rig* m_rig = nullptr;
    bool m_open = false;
};

} // namespace vu
