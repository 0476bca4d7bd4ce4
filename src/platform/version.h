#pragma once

#include <QDate>
#include <QString>

namespace vu {

// The program's four-part version, e.g. "7.1.1.0". Throws AppError when the build carries none.
[[nodiscard]] QString programVersion();
// The same check for a given compiled-in text (empty means none).
[[nodiscard]] QString checkedVersion(const QString& compiledIn);
// The start of the program's window titles: the contest, the version and the start date in the
// system's short date form, "Duruvero VED UVE, V:7.1.1.0 (11 Dec 2026)".
[[nodiscard]] QString programCaption(const QString& version, QDate startDate);

} // namespace vu
