#include "setup/radio_settings.h"

#include "platform/ini_file.h"

#include <algorithm>

namespace vu {

namespace {

const QString kSection = QStringLiteral("Radio");

QString messageKey(int index) {
    return QStringLiteral("F%1").arg(index + 1);
}

} // namespace

std::array<QString, RadioSettings::kMessages> RadioSettings::defaultMessages() {
    return {QStringLiteral("CQ VUZ {MYCALL} {MYCALL} TEST"),
            QStringLiteral("{CALL} {RST}"),
            QStringLiteral("TU {MYCALL}"),
            QStringLiteral("{MYCALL}"),
            QStringLiteral("{CALL}"),
            QStringLiteral("?"),
            QStringLiteral("AGN"),
            QStringLiteral("QRL?")};
}

int RadioSettings::stepWpm(int steps) const {
    return std::clamp(wpm + steps * kWpmStep, kMinWpm, kMaxWpm);
}

RadioSettings readRadioSettings(const QString& path) {
    const IniFile ini(path);
    const RadioSettings d;
    RadioSettings s;
    s.enabled = ini.readInteger(kSection, QStringLiteral("ACTIVE"), 0) != 0;
    s.model = ini.readInteger(kSection, QStringLiteral("MODELE"), d.model);
    if (s.model <= 0) {
        s.model = d.model;
    }
    s.port = ini.readString(kSection, QStringLiteral("PORT"), d.port);
    s.serialSpeed = std::max(0, ini.readInteger(kSection, QStringLiteral("VITESSE_PORT"), 0));
    s.wpm = std::clamp(ini.readInteger(kSection, QStringLiteral("WPM"), d.wpm),
                       RadioSettings::kMinWpm, RadioSettings::kMaxWpm);
    s.cutNumbers = ini.readInteger(kSection, QStringLiteral("CHIFFRES_COURTS"), 0) != 0;
    for (int i = 0; i < RadioSettings::kMessages; ++i) {
        s.messages.at(i) = ini.readString(kSection, messageKey(i), d.messages.at(i));
    }
    return s;
}

void writeRadioSettings(const QString& path, const RadioSettings& s) {
    IniFile ini(path);
    ini.writeInteger(kSection, QStringLiteral("ACTIVE"), s.enabled ? 1 : 0);
    ini.writeInteger(kSection, QStringLiteral("MODELE"), s.model);
    ini.writeString(kSection, QStringLiteral("PORT"), s.port);
    ini.writeInteger(kSection, QStringLiteral("VITESSE_PORT"), s.serialSpeed);
    ini.writeInteger(kSection, QStringLiteral("WPM"), s.wpm);
    ini.writeInteger(kSection, QStringLiteral("CHIFFRES_COURTS"), s.cutNumbers ? 1 : 0);
    for (int i = 0; i < RadioSettings::kMessages; ++i) {
        ini.writeString(kSection, messageKey(i), s.messages.at(i));
    }
    ini.save();
}

} // namespace vu
