#include "platform/file_lock.h"

#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vu {

namespace {

enum class Match { Same, Other, Unknown };

Match compare(int fd, const QString& path) {
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0) {
        return Match::Unknown;
    }
    if (::stat(QFile::encodeName(path).constData(), &named) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? Match::Other : Match::Unknown;
    }
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino ? Match::Same
                                                                          : Match::Other;
}

bool sameFile(int fd, const QString& path) {
    return compare(fd, path) == Match::Same;
}

} // namespace

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool FileLock::tryLock(const QString& path) {
    release();
    // A writer that replaces the file by renaming a new one over it locks the new one first; a
    // lock taken on the old one in between is tried again on the file now under the name.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = openRegularFile(path); // never waits on a FIFO
        int rc = 0;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK) {
                return false;
            }
            throw IoError::fromErrno(err, path);
        }
        if (sameFile(fd, path)) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
}

void FileLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing the last descriptor releases the lock
        m_fd = -1;
    }
}

bool FileLock::holdsFileAt(const QString& path) const {
    return m_fd >= 0 && sameFile(m_fd, path);
}

bool FileLock::lostFileAt(const QString& path) const {
    return m_fd >= 0 && compare(m_fd, path) == Match::Other;
}

} // namespace vu
