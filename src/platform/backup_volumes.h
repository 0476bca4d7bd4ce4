#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vu {

// What the system tells of one mounted volume.
struct MountedVolume {
    QString rootPath;       // mount point
    QString fileSystemType; // "ext4", "vfat", "nfs4", "tmpfs", ...
    QString device;         // "/dev/sdb1", "server:/export", "tmpfs", ...
    bool readOnly = false;
    bool writable = false;  // the user may create files at the root
    bool removable = false; // on a removable or hot-plugged (USB, card reader) device
    bool optical = false;   // a CD, DVD or Blu-ray drive
};

// One entry of the backup volume list: the root path the backup writes under and its text.
struct BackupVolume {
    QString rootPath;
    QString kind; // "Disque Amovible", "Disque dur", "Lecteur distant", "RamDisk", "Inutilisable"
    [[nodiscard]] QString text() const { return rootPath + QLatin1Char(' ') + kind; }
    bool operator==(const BackupVolume&) const = default;
};

// The name of a volume's kind as the backup list shows it.
[[nodiscard]] QString volumeKindName(const MountedVolume& volume);

// The volumes a user can back up to, removable media first, then by root path: never optical,
// read-only, unwritable or system (/proc, /sys, /dev, /run, /boot) volumes.
[[nodiscard]] QList<BackupVolume> backupVolumes(const QList<MountedVolume>& mounted);

// The volumes mounted now, as the system reports them.
[[nodiscard]] QList<MountedVolume> mountedVolumes();

} // namespace vu
