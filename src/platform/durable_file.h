#pragma once

#include <QByteArray>
#include <QString>

namespace vu {

// Writes all of `bytes` at `offset` of an open descriptor; throws IoError.
void writeFully(int fd, const QByteArray& bytes, qint64 offset, const QString& path);
// Flushes the folder entry of a file that was just created or renamed.
void syncDirectoryOf(const QString& path);
// Writes a whole file through a temporary file beside it, flushed to the device and renamed into
// place: afterwards the file is either the complete new one or, after a failure, the old one.
// `tempPath` names the temporary file (default: the path followed by ".tmp~"). Throws IoError.
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         const QString& tempPath = {});
// Reads a whole file; throws IoError.
[[nodiscard]] QByteArray readWholeFile(const QString& path);

} // namespace vu
