#pragma once

#include <QString>

namespace vu {

// The program's four-part version, e.g. "7.1.1.0". Throws AppError when the build carries none.
[[nodiscard]] QString programVersion();
// The same check for a given compiled-in text (empty means none).
[[nodiscard]] QString checkedVersion(const QString& compiledIn);

} // namespace vu
