#pragma once

#include <QString>
#include <QStringView>

namespace vu {

// A file name with its extension (from the last ".") replaced by `extension`, which is appended
// when the name has none: the names of the ".BAK" copy and of the report files.
[[nodiscard]] QString replaceExtension(const QString& fileName, QStringView extension);

} // namespace vu
