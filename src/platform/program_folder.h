#pragma once

#include <QString>
#include <QStringList>

namespace vu {

// The folder of the running program file, without a trailing separator.
[[nodiscard]] QString executableFolder();

// The user guides shipped beside the program: the HTML guides, and the compiled-help files
// that the help button prefers when they are there.
[[nodiscard]] QStringList shippedGuideNames();

// The program folder: where the settings file, the reference files and the Files, Lng and
// Fichiers_BD folders live. It is the executable's folder when that is writable; otherwise (a
// system-wide install) the per-user data folder stands in for it, seeded with the files shipped
// beside the program or in ../share/varurav-uda: the language files and SMTP.csv when the data
// folder has none yet, the user guides whenever the shipped ones differ.
[[nodiscard]] QString resolveProgramFolder(const QString& executableDir,
                                           const QString& userDataDir);

// A file shipped with the program (`relative` to where it lies): beside the executable, else in
// ../share/varurav-uda; empty when neither holds it.
[[nodiscard]] QString shippedFilePath(const QString& relative);

// The program folder of this run: resolveProgramFolder on the executable's folder and the
// application's per-user data folder (the application name must be set first).
[[nodiscard]] QString defaultProgramFolder();

} // namespace vu
