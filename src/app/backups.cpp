#include "app/backups.h"

#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/file_lock.h"

#include <QDir>
#include <QFileInfo>

namespace vu {

namespace {

// Hidden on Linux, so neither the numbering nor an operator browsing the volume takes it for a
// backup if a crash leaves it behind.
QString tempNameFor(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".tmp~");
}

// A copy never replaces a file that another program holds as its contest file (a quit copy or
// a backup opened as a log): that program would go on writing into a file no longer there.
void checkNotHeld(const QString& path) {
    FileLock probe;
    bool free = true;
    try {
        free = !QFileInfo::exists(path) || probe.tryLock(path);
    } catch (const IoError&) {
        return; // not a file that can be a contest file: the rename replaces it
    }
    if (!free) {
        throw AppError(fileInUseText(path));
    }
}

} // namespace

Backups::Backups(const ContestFile& contestFile) : m_contestFile(contestFile) {}

Backups::CheckResult Backups::check(const QDateTime& t, const QString& volumeRoot,
                                    const QString& contestFileName) {
    CheckResult result;
    if (m_next.isValid() && t <= m_next) {
        return result;
    }
    m_next = t.addSecs(60);
    if (volumeRoot.isEmpty()) {
        m_errorShown = false; // no volume, nothing failing
        return result;
    }
    try {
        rotatingBackup(volumeRoot, contestFileName);
        result.backedUp = true;
        m_errorShown = false;
    } catch (const AppError& e) {
        if (!m_errorShown) {
            result.errorToShow = e.message();
            m_errorShown = true;
        }
    }
    return result;
}

QString Backups::nextBackupName(const QString& volumeRoot, const QString& contestFileName) {
    const QDir root(volumeRoot);
    const QFileInfoList files = root.entryInfoList(QDir::Files, QDir::Name);
    const auto length = contestFileName.size();
    int number = 0;
    QDateTime newest;
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (!name.contains(contestFileName)) {
            continue;
        }
        // The two digits after the contest file name and its "_"; a name without them (a copy
        // of the log itself, a ".BAK") is not one of the backups and is passed over.
        if (name.size() < length + 3 || !name[length + 1].isDigit() ||
            !name[length + 2].isDigit()) {
            continue;
        }
        const QDateTime modified = file.lastModified();
        if (!newest.isValid() || modified > newest) {
            newest = modified;
            number = name.mid(length + 1, 2).toInt();
        }
    }
    return backupNameAfter(contestFileName, number);
}

QString Backups::backupNameAfter(const QString& contestFileName, int number) {
    const int k = number + 1;
    const QString suffix =
        k <= 10 ? QStringLiteral("_%1").arg(k, 2, 10, QLatin1Char('0')) : QStringLiteral("_01");
    return contestFileName + suffix + QStringLiteral(".sav");
}

QString Backups::rotatingBackup(const QString& volumeRoot, const QString& contestFileName) {
    // After a backup of this run the turn goes on from it: file times alone cannot tell apart
    // copies written within the file system's time resolution.
    const bool goOn =
        m_last.volumeRoot == volumeRoot && m_last.contestFileName == contestFileName &&
        QFileInfo::exists(
            QDir(volumeRoot).filePath(backupNameAfter(contestFileName, m_last.number - 1)));
    const QString name = goOn ? backupNameAfter(contestFileName, m_last.number)
                              : nextBackupName(volumeRoot, contestFileName);
    const QString path = QDir(volumeRoot).filePath(name);
    // A backup killed half-way left its hidden temporary file on the volume.
    removeLeftoverTempFiles(volumeRoot, 60,
                            QStringLiteral(".") + contestFileName + QStringLiteral("_*.sav.tmp~"));
    checkNotHeld(path);
    writeFileAtomically(path, m_contestFile.storedImage(nullptr), tempNameFor(path));
    m_last = {volumeRoot, contestFileName, name.mid(contestFileName.size() + 1, 2).toInt()};
    return path;
}

void Backups::quitCopy(const QDateTime& localNow) {
    const Record header = m_contestFile.headerRecord(localNow);
    const QString path = m_contestFile.path() + QStringLiteral("_Mem");
    checkNotHeld(path);
    writeFileAtomically(path, m_contestFile.storedImage(&header), tempNameFor(path));
}

} // namespace vu
