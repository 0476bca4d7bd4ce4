#pragma once

#include <QString>
#include <QStringView>

namespace vu {

// A file name with its extension (from the last ".") replaced by `extension`, which is appended
// when the name has none: the names of the ".BAK" copy and of the report files.
[[nodiscard]] QString replaceExtension(const QString& fileName, QStringView extension);

// True when both paths name one existing file (the same device and inode: links, other
// spellings and names that differ only in case on a file system that ignores it included).
[[nodiscard]] bool isSameFile(const QString& a, const QString& b);

} // namespace vu
