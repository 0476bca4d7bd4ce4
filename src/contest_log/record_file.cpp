#include "contest_log/record_file.h"

#include "contest_log/log_format.h"
#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vu {

namespace {

static_assert(std::endian::native == std::endian::little, "records are little-endian");

void putString(char* rec, RecordField field, const QString& text) {
    const QByteArray bytes = toCp1252(text).left(field.capacity);
    rec[field.lengthOffset] = static_cast<char>(bytes.size());
    std::memcpy(rec + field.lengthOffset + 1, bytes.constData(), bytes.size());
}

QString getString(const char* rec, RecordField field) {
    int length = static_cast<unsigned char>(rec[field.lengthOffset]);
    if (length > field.capacity) {
        length = field.capacity; // a damaged length never reads past its field
    }
    QByteArrayView bytes(rec + field.lengthOffset + 1, length);
    // A length beyond the value takes in the zeros written after it: the value ends there.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes = bytes.first(nul);
    }
    return fromCp1252(bytes);
}

void putDouble(char* rec, int offset, double value) {
    std::memcpy(rec + offset, &value, 8);
}

double getDouble(const char* rec, int offset) {
    double value = 0;
    std::memcpy(&value, rec + offset, 8);
    return value;
}

} // namespace

QByteArray encodeRecord(const Record& r) {
    QByteArray out(kRecordSize, '\0');
    char* rec = out.data();
    putString(rec, RecordLayout::Operator, r.operatorCall);
    putString(rec, RecordLayout::Station, r.stationCall);
    putDouble(rec, RecordLayout::DateOffset, r.date);
    putDouble(rec, RecordLayout::TimeOffset, r.time);
    putString(rec, RecordLayout::Band, r.band);
    putString(rec, RecordLayout::Call, r.call);
    putString(rec, RecordLayout::RstSent, r.rstSent);
    putString(rec, RecordLayout::RstRcvd, r.rstRcvd);
    putString(rec, RecordLayout::Member, r.member);
    putString(rec, RecordLayout::Category, r.category);
    return out;
}

Record decodeRecord(const char* rec) {
    Record r;
    r.operatorCall = getString(rec, RecordLayout::Operator);
    r.stationCall = getString(rec, RecordLayout::Station);
    r.date = getDouble(rec, RecordLayout::DateOffset);
    r.time = getDouble(rec, RecordLayout::TimeOffset);
    r.band = getString(rec, RecordLayout::Band);
    r.call = getString(rec, RecordLayout::Call);
    r.rstSent = getString(rec, RecordLayout::RstSent);
    r.rstRcvd = getString(rec, RecordLayout::RstRcvd);
    r.member = getString(rec, RecordLayout::Member);
    r.category = getString(rec, RecordLayout::Category);
    return r;
}

RecordFile::~RecordFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void RecordFile::open(const QString& path, bool writable) {
    close();
    // A FIFO or a device in place of the file is refused, never waited on.
    m_fd = openRegularFile(path, writable);
    m_path = path;
}

void RecordFile::create(const QString& path) {
    close();
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw IoError::fromErrno(errno, path);
    }
    m_fd = fd;
    m_path = path;
    syncDirectoryOf(path);
}

void RecordFile::close() {
    if (m_fd < 0) {
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        throw IoError::fromErrno(errno, m_path);
    }
}

qint64 RecordFile::size() const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        throw IoError::fromErrno(m_fd < 0 ? EBADF : errno, m_path);
    }
    return st.st_size;
}

qint64 RecordFile::recordCount() const {
    return size() / kRecordSize;
}

QByteArray RecordFile::readAll() const {
    checkFileSize(m_fd, kContestFileLimit, m_path);
    const qint64 count = recordCount();
    QByteArray data;
    try {
        data = QByteArray(count * kRecordSize, Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        throw IoError(ENOMEM, m_path);
    }
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(m_fd, data.data() + done, data.size() - done, done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError::fromErrno(errno, m_path);
        }
        if (n == 0) {
            break; // the file shrank under us: keep the whole records read
        }
        done += n;
    }
    data.truncate(done - done % kRecordSize);
    return data;
}

Record RecordFile::read(qint64 index) const {
    char buf[kRecordSize];
    qint64 done = 0;
    while (done < kRecordSize) {
        const ssize_t n = ::pread(m_fd, buf + done, kRecordSize - done, index * kRecordSize + done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError::fromErrno(errno, m_path);
        }
        if (n == 0) {
            throw IoError(IoError::ReadBeyondEnd, m_path);
        }
        done += n;
    }
    return decodeRecord(buf);
}

void RecordFile::write(qint64 index, const Record& record) {
    if (m_fd < 0) {
        throw IoError::fromErrno(EBADF, m_path);
    }
    struct stat before {};
    if (::fstat(m_fd, &before) != 0) {
        throw IoError::fromErrno(errno, m_path);
    }
    try {
        writeFully(m_fd, encodeRecord(record), index * kRecordSize, m_path);
        if (::fdatasync(m_fd) != 0) {
            throw IoError::fromErrno(errno, m_path);
        }
    } catch (const IoError&) {
        // A record that did not go in whole is taken out again, with the blank records that would
        // have led up to it: the file ends with the last whole record it held.
        struct stat after {};
        if (::fstat(m_fd, &after) == 0 && after.st_size > before.st_size) {
            (void)::ftruncate(m_fd, before.st_size);
        }
        throw;
    }
}

bool isContestFileImage(const QByteArray& data) {
    if (data.size() % kRecordSize != 0) {
        return false;
    }
    if (data.isEmpty()) {
        return true; // nothing in it to lose
    }
    const char* header = data.constData();
    for (const RecordField field :
         {RecordLayout::Operator, RecordLayout::Station, RecordLayout::Band, RecordLayout::Call,
          RecordLayout::RstSent, RecordLayout::RstRcvd, RecordLayout::Member,
          RecordLayout::Category}) {
        if (static_cast<unsigned char>(header[field.lengthOffset]) > field.capacity) {
            return false;
        }
    }
    return dateOfValue(getDouble(header, RecordLayout::DateOffset)).has_value() &&
           timeOfValue(getDouble(header, RecordLayout::TimeOffset)).has_value();
}

} // namespace vu
