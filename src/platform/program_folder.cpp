#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace vu {

QString executableFolder() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

namespace {

// Copies a shipped file into the data folder unless a copy is there already.
void seed(const QString& from, const QString& to) {
    if (QFileInfo::exists(from) && !QFileInfo::exists(to)) {
        QFile::copy(from, to);
    }
}

} // namespace

QString resolveProgramFolder(const QString& executableDir, const QString& userDataDir) {
    if (::access(QFile::encodeName(executableDir).constData(), W_OK) == 0) {
        return executableDir;
    }
    // A system-wide install keeps its shipped files in share/; look beside the binary first.
    const QStringList shippedDirs = {executableDir,
                                     executableDir + QStringLiteral("/../share/varurav-uda")};
    QDir().mkpath(userDataDir + QStringLiteral("/Lng"));
    for (const QString& dir : shippedDirs) {
        seed(dir + QStringLiteral("/SMTP.csv"), userDataDir + QStringLiteral("/SMTP.csv"));
        const QDir lng(dir + QStringLiteral("/Lng"));
        for (const QString& name : lng.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
            seed(lng.filePath(name), userDataDir + QStringLiteral("/Lng/") + name);
        }
    }
    return userDataDir;
}

} // namespace vu
