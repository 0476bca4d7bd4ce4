#include "platform/watched_file.h"

#include <QDir>
#include <QFile>
#include <ctime>
#include <sys/stat.h>

namespace vu {

namespace {

// File systems stamp changes with a coarse clock: a folder changed less than this long ago may
// change again without its time stamp moving.
constexpr qint64 kSettleSeconds = 2;

} // namespace

WatchedFile::WatchedFile(QString folder, QString name, qint64 maxBytes)
    : m_folder(std::move(folder)), m_name(std::move(name)),
      m_exactPath(QFile::encodeName(m_folder + QLatin1Char('/') + m_name)), m_maxBytes(maxBytes) {}

WatchedFile::Stamp WatchedFile::stampOf(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        return {};
    }
    return {true,
            st.st_dev,
            st.st_ino,
            st.st_size,
            static_cast<qint64>(st.st_mtim.tv_sec),
            static_cast<qint64>(st.st_mtim.tv_nsec)};
}

QString WatchedFile::path() const {
    if (stampOf(m_exactPath).exists) {
        return QFile::decodeName(m_exactPath);
    }
    const Stamp folder = stampOf(QFile::encodeName(m_folder));
    if (!(folder == m_folderStamp) || m_folderRecent) {
        m_folderStamp = folder;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        m_folderRecent = now.tv_sec - folder.mtimeSec < kSettleSeconds;
        m_variantPath.clear();
        const QStringList names =
            QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& name : names) {
            if (name.compare(m_name, Qt::CaseInsensitive) == 0) {
                m_variantPath = m_folder + QLatin1Char('/') + name;
                break;
            }
        }
    }
    return m_variantPath.isEmpty() ? QFile::decodeName(m_exactPath) : m_variantPath;
}

QByteArray WatchedFile::nativePath() const {
    return QFile::encodeName(path());
}

bool WatchedFile::exists() const {
    return stampOf(nativePath()).exists;
}

bool WatchedFile::changed() {
    // The exact name is the common case: one stat call.
    Stamp now = stampOf(m_exactPath);
    if (!now.exists) {
        now = stampOf(nativePath());
    }
    if (m_known && now == m_stamp) {
        return false;
    }
    m_known = true;
    m_stamp = now;
    return true;
}

} // namespace vu
