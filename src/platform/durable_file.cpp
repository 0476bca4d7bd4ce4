#include "platform/durable_file.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vu {

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
    const QString temp = tempPath.isEmpty() ? path + QStringLiteral(".tmp~") : tempPath;
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
    if (::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        throw IoError::fromErrno(err, path);
    }
    syncDirectoryOf(path);
}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw IoError::fromErrno(file.exists() ? EACCES : ENOENT, path);
    }
    QByteArray data = file.readAll();
    if (file.error() != QFile::NoError) {
        throw IoError(EIO, path);
    }
    return data;
}

} // namespace vu
