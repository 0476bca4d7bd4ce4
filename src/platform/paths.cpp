#include "platform/paths.h"

namespace vu {

QString replaceExtension(const QString& fileName, QStringView extension) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    QString name = dot < 0 ? fileName : fileName.left(dot);
    name += extension;
    return name;
}

} // namespace vu
