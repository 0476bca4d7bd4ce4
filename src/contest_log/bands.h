#pragma once

#include <QString>
#include <QStringList>

namespace vu {

class LogTable;

// The five band texts of the band selector, columns 0 to 4.
[[nodiscard]] const QStringList& bandTexts();

// The as-you-type duplicate test: true when a line of the log (rows 1 to the entry row) holds
// exactly this callsign on this band.
[[nodiscard]] bool workedOnBand(const LogTable& table, const QString& call, const QString& band);

} // namespace vu
