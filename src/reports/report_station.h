#pragma once

#include <QString>

namespace vu {

// The station values the report writers read, gathered from the station settings and the
// station form at the moment of writing.
struct ReportStation {
    QString stationCall;   // station callsign (MY_STATION)
    QString operatorCall;  // operator callsign (OPERATOR)
    QString clubNumber;    // station club number (MY_NRZRB)
    QString category;      // station category, "QRP" or "QRO"
    QString email;         // station e-mail address as the station form last accepted it
    QString clubTyped;     // text of Edit_NZRB
    QString name;          // text of Edit_nom
    QString acceptedName;  // operator's name as the station form's OK last took it
    QString street;        // text of Edit_AD1
    QString city;          // text of Edit_CITY
    QString zipCode;       // text of Edit_ZIPCODE
    QString emailTyped;    // text of Edit_email
    bool qrpTicked = true; // state of CheckBox_QRP
};

} // namespace vu
