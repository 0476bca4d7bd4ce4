#pragma once

#include <QString>
#include <array>

namespace vu {

// How the transceiver is reached and what the function keys send; kept in the section "Radio" of
// the settings file. A file without that section gives the defaults below: radio off.
struct RadioSettings {
    static constexpr int kMessages = 8; // F1 to F8
    static constexpr int kMinWpm = 5;
    static constexpr int kMaxWpm = 60;
    static constexpr int kWpmStep = 2; // Page Up / Page Down

    bool enabled = false;
    int model = 2; // Hamlib's client of a rigctld on the network
    QString port = QStringLiteral("localhost:4532");
    int serialSpeed = 0; // 0: the model's own
    int wpm = 24;
    bool cutNumbers = false; // the report sent as "5NN"
    std::array<QString, kMessages> messages = defaultMessages();

    [[nodiscard]] static std::array<QString, kMessages> defaultMessages();
    // The speed moved by `steps` Page Up presses (negative: Page Down), kept within bounds.
    [[nodiscard]] int stepWpm(int steps) const;
    bool operator==(const RadioSettings&) const = default;
};

// The radio settings of the settings file at `path`; missing or unreadable values give defaults.
[[nodiscard]] RadioSettings readRadioSettings(const QString& path);
// Writes them into the settings file at `path`, keeping every other line of it. Throws AppError
// "Impossible d'écrire dans <path>" when the file cannot be written.
void writeRadioSettings(const QString& path, const RadioSettings& settings);

} // namespace vu
