#pragma once

#include <QByteArray>
#include <QString>

namespace vu {

// The largest file the program reads of each kind: far beyond any real one, so that a link to
// /dev/zero or a sparse file is refused instead of filling the memory.
inline constexpr qint64 kTextFileLimit = qint64(1) << 20;       // settings, languages, SMTP.csv
inline constexpr qint64 kReferenceFileLimit = qint64(64) << 20; // country file, roster
inline constexpr qint64 kContestFileLimit = 100'000'000;        // over a million contacts

// Opens an existing file for reading (or reading and writing) without waiting: the open does
// not block on a FIFO, and anything that is not a regular file (a FIFO, a device, a socket) is
// refused with IoError NotRegularFile naming it. The descriptor returned blocks as usual.
// Throws IoError.
[[nodiscard]] int openRegularFile(const QString& path, bool writable = false);
// Refuses an open file larger than `maxBytes` with IoError TooLarge naming it.
void checkFileSize(int fd, qint64 maxBytes, const QString& path);
// Reads a whole regular file of at most `maxBytes` bytes. Throws IoError: NotRegularFile,
// TooLarge, and "Mémoire insuffisante" rather than letting an allocation failure escape.
[[nodiscard]] QByteArray readWholeFile(const QString& path, qint64 maxBytes);

} // namespace vu
