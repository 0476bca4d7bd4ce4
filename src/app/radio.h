#pragma once

#include "contest_log/station_settings.h"
#include "setup/radio_settings.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace vu {

// The band selector's column (0 "80" to 4 "10") of a frequency in hertz; nothing outside the
// contest's five bands.
[[nodiscard]] std::optional<int> bandOfFrequency(double hz);

// What a function-key message's macros stand for at the moment of sending.
struct MessageValues {
    QString myCall;    // {MYCALL}: the station callsign
    QString entryText; // the quick-entry field: {CALL} is its first word, {RST} its report sent
    bool cutNumbers = false;
};

// The message with its macros expanded, in capitals, holding only what a keyer can send: letters,
// digits, blanks and Morse punctuation (a line break would end the command to the rig early).
[[nodiscard]] QString expandMessage(const QString& message, const MessageValues& values);

// Decides when the radio's band is to be selected: when the band under the dial changes, so that
// the operator may still pick another band by hand while the dial rests.
class BandFollower {
public:
    // The column to select for this reading, if any.
    [[nodiscard]] std::optional<int> follow(std::optional<int> radioBand);
    // Forgets the last band seen: the next reading in a band selects it (after a reconnection).
    void reset() {
        m_last.reset();
        m_seen = false;
    }

private:
    std::optional<int> m_last;
    bool m_seen = false;
};

// How often the radio is read, how soon a lost one is tried again, how long a rig may take.
struct RadioTiming {
    std::chrono::milliseconds poll{500};
    std::chrono::milliseconds retry{2000};
    int rigTimeoutMs = 1000;
};

// The transceiver seen from the program: a worker thread opens it, reads its frequency every half
// second, sends the Morse it is given and opens it again a few seconds after it stopped answering.
// No call here waits for the rig, not even the destructor: a worker still inside a call that has
// not come back two seconds later (a connection to a host that does not answer) is left to end on
// its own, and emits nothing more. `changed` is emitted from the worker thread.
class Radio : public QObject {
    Q_OBJECT
public:
    enum class Link { Off, Connecting, Connected, Lost };
    struct Status {
        Link link = Link::Off;
        std::optional<double> hz; // the last frequency read while connected
        QString error;            // why the rig is lost
        bool operator==(const Status&) const = default;
    };
    explicit Radio(RadioTiming timing = {});
    ~Radio() override;
    Radio(const Radio&) = delete;
    Radio& operator=(const Radio&) = delete;

    // Takes the settings: starts the worker when the radio is on, stops it when off, reopens the
    // rig when the model or port changed, sets the keyer speed.
    void configure(const RadioSettings& settings);
    [[nodiscard]] bool enabled() const;
    [[nodiscard]] Status status() const;

    // Queues a text for the keyer; dropped when the rig is not connected.
    void send(const QString& text);
    // Stops the Morse being sent and drops the texts still queued.
    void stopSending();
    void setKeyerSpeed(int wpm);

Q_SIGNALS:
    void changed();

private:
    struct Worker;

    std::shared_ptr<Worker> m_worker;
    std::thread m_thread;
};

// The radio as the program keeps it: the settings in force (section "Radio" of the settings file)
// and the worker that follows them. Only the window program starts it, so the command-line tool
// never talks to a rig.
class RadioSetup {
public:
    RadioSetup(const StationSettings& station, QString settingsPath);

    // Reads the settings file's radio section (the radio off when it has none).
    void load();
    // Hands the settings in force to the worker: a radio set up in an earlier run starts.
    void start();
    [[nodiscard]] const RadioSettings& settings() const { return m_settings; }
    // Takes new settings: the worker follows them and the settings file keeps them at once.
    // Throws AppError when the file cannot be written (the worker has taken them already).
    void apply(const RadioSettings& settings);
    [[nodiscard]] Radio& link() { return m_link; }
    [[nodiscard]] const Radio& link() const { return m_link; }
    // What the function keys' macros stand for, with this text in the quick-entry field.
    [[nodiscard]] MessageValues messageValues(const QString& entryText) const;

private:
    const StationSettings& m_station;
    QString m_settingsPath;
    RadioSettings m_settings;
    Radio m_link; // last: its worker stops first
};

} // namespace vu
