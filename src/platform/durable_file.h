#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

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
// How writeFileAtomically below writes.
struct AtomicWrite {
    QString tempPath; // default: the path followed by ".tmp~"
    // Called with the temporary file's path once it is complete, just before it takes the name
    // (to lock the new file before any other program can open it under that name).
    std::function<void(const QString& tempPath)> beforeRename;
    // false: a file that appears under the name meanwhile is kept, and the write throws IoError
    // with code EEXIST.
    bool replaceExisting = true;
};
void writeFileAtomically(const QString& path, const QByteArray& bytes, const AtomicWrite& how);
// Makes writes beyond the file-size limit fail with "Disque plein" instead of ending the process
// with SIGXFSZ.
void ignoreFileSizeSignal();
// Removes the temporary files ("*.tmp~", hidden ones included, or those matching `pattern`) of
// whole-file writes that a crash or a kill left in `folder`, those older than `minAgeSeconds` (a
// younger one may be another program's write in progress). Failures are ignored.
void removeLeftoverTempFiles(const QString& folder, qint64 minAgeSeconds = 60,
                             const QString& pattern = QStringLiteral("*.tmp~"));

} // namespace vu
