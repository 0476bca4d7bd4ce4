#pragma once

#include <QString>

namespace vu {

// The folder of the running program file, without a trailing separator.
[[nodiscard]] QString executableFolder();

// The program folder: where the settings file, the reference files and the Files, Lng and
// Fichiers_BD folders live. It is the executable's folder when that is writable; otherwise (a
// system-wide install) the per-user data folder stands in for it, seeded at first use with the
// files shipped beside the program (the language files and SMTP.csv).
[[nodiscard]] QString resolveProgramFolder(const QString& executableDir,
                                           const QString& userDataDir);

} // namespace vu
