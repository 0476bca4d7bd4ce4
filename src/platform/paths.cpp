#include "platform/paths.h"

#include <QFile>
#include <sys/stat.h>

namespace vu {

QString replaceExtension(const QString& fileName, QStringView extension) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    QString name = dot < 0 ? fileName : fileName.left(dot);
    name += extension;
    return name;
}

bool isSameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace vu
