#pragma once

#include "platform/smtp_security.h"

#include <QString>

namespace vu {

// The station settings held in memory for the whole run and kept in the settings file.
struct StationSettings {
    QString contestFolder;                    // CHEMIN_FICHIER, without a trailing separator
    QString contestFileName;                  // NOM_FICHIER, bare name with its extension
    QString locator;                          // MY_LOCATOR
    QString operatorCall;                     // OPERATOR
    QString dxcc;                             // MY_DXCC, a DXCC prefix
    QString stationCall;                      // MY_STATION
    QString clubNumber;                       // MY_NRZRB
    QString category = QStringLiteral("QRP"); // MY_CATEGORIE
    int language = 1;                         // LNG: 1 French, 2 English, 3 Spanish, 4 Italian

    // Taken by the station window (its OK button and change rules); not in the settings file.
    QString continent;    // of the station callsign, from the country table
    QString operatorName; // Edit_nom when OK was pressed
    QString email;        // station e-mail address
    QString smtpServer;
    QString smtpPort;
    SmtpSecurity smtpSecurity = SmtpSecurity::None;
    QString smtpLogin; // empty: the server is used without authentication

    // Folder and name joined into the contest file's path.
    [[nodiscard]] QString contestFilePath() const {
        return contestFolder + QLatin1Char('/') + contestFileName;
    }
};

} // namespace vu
