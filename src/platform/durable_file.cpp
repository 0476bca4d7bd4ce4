#include "platform/durable_file.h"

#include "platform/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vu {

namespace {

// Renames `from` to `to`; with `replace` false an existing `to` is kept and the call fails with
// EEXIST.
bool renameInto(const QByteArray& from, const QByteArray& to, bool replace) {
    if (replace) {
        return ::rename(from.constData(), to.constData()) == 0;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system that cannot refuse to replace: look first.
    if (::access(to.constData(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

void writeFully(int fd, const QByteArray& bytes, qint64 offset, const QString& path) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.constData() + done, bytes.size() - done, offset + done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError::fromErrno(errno, path);
        }
        done += n;
    }
}

void syncDirectoryOf(const QString& path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: some file systems refuse to sync a folder
        ::close(fd);
    }
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, const QString& tempPath) {
    writeFileAtomically(path, bytes, AtomicWrite{tempPath, {}, true});
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, const AtomicWrite& how) {
    const QString temp = how.tempPath.isEmpty() ? path + QStringLiteral(".tmp~") : how.tempPath;
    const QByteArray tempName = QFile::encodeName(temp);
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw IoError::fromErrno(errno, path);
    }
    try {
        writeFully(fd, bytes, 0, path);
        if (::fsync(fd) != 0) {
            throw IoError::fromErrno(errno, path);
        }
    } catch (...) {
        ::close(fd);
        ::unlink(tempName.constData());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        throw IoError::fromErrno(err, path);
    }
    try {
        if (how.beforeRename) {
            how.beforeRename(temp);
        }
    } catch (...) {
        ::unlink(tempName.constData());
        throw;
    }
    if (!renameInto(tempName, QFile::encodeName(path), how.replaceExisting)) {
        const int err = errno;
        ::unlink(tempName.constData());
        throw IoError::fromErrno(err, path);
    }
    syncDirectoryOf(path);
}

void removeLeftoverTempFiles(const QString& folder, qint64 minAgeSeconds, const QString& pattern) {
    if (folder.isEmpty()) {
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList leftovers =
        QDir(folder).entryInfoList({pattern}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : leftovers) {
        if (file.lastModified().toUTC().secsTo(now) >= minAgeSeconds) {
            QFile::remove(file.absoluteFilePath());
        }
    }
}

} // namespace vu
