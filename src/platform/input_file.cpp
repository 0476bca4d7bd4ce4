#include "platform/input_file.h"

#include "platform/errors.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vu {

namespace {

// Closes the descriptor unless released.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    [[nodiscard]] int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace

int openRegularFile(const QString& path, bool writable) {
    const int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    FdGuard fd(::open(QFile::encodeName(path).constData(), flags));
    if (fd.get() < 0) {
        throw IoError::fromErrno(errno, path);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        throw IoError::fromErrno(errno, path);
    }
    if (S_ISDIR(st.st_mode)) {
        throw IoError(EISDIR, path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw IoError(IoError::NotRegularFile, path);
    }
    const int current = ::fcntl(fd.get(), F_GETFL);
    if (current < 0 || ::fcntl(fd.get(), F_SETFL, current & ~O_NONBLOCK) != 0) {
        throw IoError::fromErrno(errno, path);
    }
    return fd.release();
}

void checkFileSize(int fd, qint64 maxBytes, const QString& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        throw IoError::fromErrno(errno, path);
    }
    if (st.st_size > maxBytes) {
        throw IoError(IoError::TooLarge, path);
    }
}

QByteArray readWholeFile(const QString& path, qint64 maxBytes) {
    const FdGuard fd(openRegularFile(path));
    checkFileSize(fd.get(), maxBytes, path);
    try {
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw IoError::fromErrno(errno, path);
            }
            if (n == 0) {
                break;
            }
            // The size was checked, but a file may grow while it is read.
            if (data.size() + n > maxBytes) {
                throw IoError(IoError::TooLarge, path);
            }
            data.append(buffer, n);
        }
        return data;
    } catch (const std::bad_alloc&) {
        throw IoError(ENOMEM, path);
    }
}

} // namespace vu
