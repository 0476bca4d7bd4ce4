#pragma once

#include <QByteArray>
#include <QString>

namespace vu {

// Every file the program reads or writes holds Windows-1252 text: these two functions are the
// one place where it is converted. A character outside the code page is written as "?".
[[nodiscard]] QByteArray toCp1252(QStringView text);
[[nodiscard]] QString fromCp1252(QByteArrayView bytes);
// How many bytes toCp1252 makes of a text: one per character.
[[nodiscard]] qsizetype cp1252Size(QStringView text);

// Text file lines end with CR LF: joins lines and converts them in one go.
[[nodiscard]] QByteArray cp1252Lines(const QStringList& lines);

} // namespace vu
