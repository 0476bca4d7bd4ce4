#pragma once

#include "platform/input_file.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace vu {

// One file of a folder, named without regard to case (the reference files were named on a
// system whose file names ignore case), whose changes on disk are noticed with a stat call so
// that its content can be kept in memory and read again only when it changed.
class WatchedFile {
public:
    // A content larger than `maxBytes` is refused (IoError TooLarge) rather than read.
    WatchedFile(QString folder, QString name, qint64 maxBytes = kReferenceFileLimit);

    // The file's path on disk: the exact name when it exists, else a variant of the name in
    // another case (the first in name order), else the folder and the name as given.
    [[nodiscard]] QString path() const;
    [[nodiscard]] bool exists() const;
    // True when the file appeared, vanished, was replaced or changed size or modification time
    // since the last call that answered true (the first call answers true).
    [[nodiscard]] bool changed();
    // Makes the next changed() answer true, e.g. after a failed read.
    void invalidate() { m_known = false; }

    // Hands the file's content (empty when there is no file) to `load` when the file changed
    // since the last time; a read error (IoError) empties what was loaded and is raised again.
    template <typename Load>
    void reloadIfChanged(Load&& load) {
        if (!changed()) {
            return;
        }
        try {
            load(exists() ? readWholeFile(path(), m_maxBytes) : QByteArray());
        } catch (...) {
            invalidate();
            load(QByteArray());
            throw;
        }
    }

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 mtimeSec = 0;
        qint64 mtimeNsec = 0;
        bool operator==(const Stamp&) const = default;
    };
    [[nodiscard]] static Stamp stampOf(const QByteArray& path);
    [[nodiscard]] QByteArray nativePath() const;

    QString m_folder;
    QString m_name;
    QByteArray m_exactPath;
    qint64 m_maxBytes;
    // The folder listing is redone only when the folder itself changed, or when it changed so
    // shortly before the listing that a later change could carry the same time stamp.
    mutable Stamp m_folderStamp;
    mutable bool m_folderRecent = false;
    mutable QString m_variantPath;
    bool m_known = false;
    Stamp m_stamp;
};

} // namespace vu
