#include "platform/program_folder.h"

#include "platform/errors.h"
#include "platform/input_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace vu {

QString executableFolder() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

namespace {

// Copies a shipped file into the data folder unless a copy is there already: the operator may
// have edited it.
void seed(const QString& from, const QString& to) {
    if (QFileInfo::exists(from) && !QFileInfo::exists(to)) {
        QFile::copy(from, to);
    }
}

// Copies a shipped file that the operator does not edit (a user guide) into the data folder
// when the copy there differs, so that an upgrade brings its new version.
void refresh(const QString& from, const QString& to) {
    // Read as every input file is: a FIFO or a device under either name is never waited on.
    QByteArray shipped;
    try {
        shipped = readWholeFile(from, kReferenceFileLimit);
    } catch (const IoError&) {
        return;
    }
    try {
        if (readWholeFile(to, kReferenceFileLimit) == shipped) {
            return;
        }
    } catch (const IoError&) {
        // missing or unreadable: replaced below
    }
    QFile::remove(to);
    QFile::copy(from, to);
}

} // namespace

QStringList shippedGuideNames() {
    return {QStringLiteral("VARURAV_UDA_FR.html"), QStringLiteral("VARURAV_UDA_EN.html"),
            QStringLiteral("VARURAV_UDA_FR.chm"), QStringLiteral("VARURAV_UDA_EN.chm")};
}

QString resolveProgramFolder(const QString& executableDir, const QString& userDataDir) {
    // Whether this process may write there: its effective user decides, not its real one.
    if (::faccessat(AT_FDCWD, QFile::encodeName(executableDir).constData(), W_OK, AT_EACCESS) ==
        0) {
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
        for (const QString& name : shippedGuideNames()) {
            refresh(dir + u'/' + name, userDataDir + u'/' + name);
        }
    }
    return userDataDir;
}

QString shippedFilePath(const QString& relative) {
    const QString dir = executableFolder();
    for (const QString& candidate :
         {dir + u'/' + relative, dir + QStringLiteral("/../share/varurav-uda/") + relative}) {
        if (QFileInfo::exists(candidate)) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

QString defaultProgramFolder() {
    return resolveProgramFolder(executableFolder(),
                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace vu
