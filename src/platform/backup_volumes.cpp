#include "platform/backup_volumes.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <unistd.h>

namespace vu {

namespace {

const QSet<QString>& networkTypes() {
    static const QSet<QString> types = {
        QStringLiteral("nfs"),         QStringLiteral("nfs4"),       QStringLiteral("cifs"),
        QStringLiteral("smb3"),        QStringLiteral("smbfs"),      QStringLiteral("fuse.sshfs"),
        QStringLiteral("sshfs"),       QStringLiteral("9p"),         QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),   QStringLiteral("fuse.davfs"), QStringLiteral("davfs"),
        QStringLiteral("fuse.rclone"), QStringLiteral("afs"),
    };
    return types;
}

// File systems that hold no user files: kernel interfaces and read-only images.
const QSet<QString>& systemTypes() {
    static const QSet<QString> types = {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),       QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),     QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"), QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("pstore"),     QStringLiteral("bpf"),         QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),  QStringLiteral("configfs"),    QStringLiteral("fusectl"),
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"),
        QStringLiteral("nsfs"),       QStringLiteral("rpc_pipefs"),  QStringLiteral("selinuxfs"),
        QStringLiteral("squashfs"),   QStringLiteral("rootfs"),
    };
    return types;
}

bool isUnder(const QString& path, QStringView folder) {
    return path == folder ||
           (path.startsWith(folder) && path.size() > folder.size() && path[folder.size()] == u'/');
}

bool isSystemFolder(const QString& root) {
    if (isUnder(root, u"/run")) {
        return !isUnder(root, u"/run/media"); // where desktops mount removable media
    }
    return isUnder(root, u"/proc") || isUnder(root, u"/sys") || isUnder(root, u"/dev") ||
           isUnder(root, u"/boot");
}

// Undoes the octal escapes of /proc/self/mounts ("\040" for a blank).
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

QString readSysText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(file.readAll()).trimmed();
}

// The block device's entry in /sys: the whole disk for a partition.
QString diskSysPath(const QString& device) {
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    if (name.isEmpty()) {
        return {};
    }
    const QFileInfo entry(QStringLiteral("/sys/class/block/") + name);
    if (!entry.exists()) {
        return {};
    }
    const QString real = entry.canonicalFilePath();
    if (QFileInfo::exists(real + QStringLiteral("/partition"))) {
        return QFileInfo(real).absolutePath();
    }
    return real;
}

} // namespace

QString volumeKindName(const MountedVolume& volume) {
    if (volume.removable) {
        return QStringLiteral("Disque Amovible");
    }
    if (networkTypes().contains(volume.fileSystemType)) {
        return QStringLiteral("Lecteur distant");
    }
    if (volume.fileSystemType == QLatin1String("tmpfs") ||
        volume.fileSystemType == QLatin1String("ramfs")) {
        return QStringLiteral("RamDisk");
    }
    if (volume.device.startsWith(QLatin1String("/dev/"))) {
        return QStringLiteral("Disque dur");
    }
    return QStringLiteral("Inutilisable");
}

QList<BackupVolume> backupVolumes(const QList<MountedVolume>& mounted) {
    QList<MountedVolume> usable;
    QSet<QString> seen;
    for (const MountedVolume& v : mounted) {
        const bool optical = v.optical || v.fileSystemType == QLatin1String("iso9660") ||
                             v.fileSystemType == QLatin1String("udf");
        if (optical || v.readOnly || !v.writable || isSystemFolder(v.rootPath) ||
            systemTypes().contains(v.fileSystemType) || seen.contains(v.rootPath)) {
            continue;
        }
        seen.insert(v.rootPath);
        usable << v;
    }
    std::stable_sort(usable.begin(), usable.end(), [](const auto& a, const auto& b) {
        if (a.removable != b.removable) {
            return a.removable;
        }
        return a.rootPath < b.rootPath;
    });
    QList<BackupVolume> out;
    for (const MountedVolume& v : usable) {
        out << BackupVolume{v.rootPath, volumeKindName(v)};
    }
    return out;
}

QList<MountedVolume> mountedVolumes() {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<MountedVolume> out;
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 4) {
            continue;
        }
        MountedVolume v;
        v.device = unescapeMountField(f[0]);
        v.rootPath = unescapeMountField(f[1]);
        v.fileSystemType = QString::fromLatin1(f[2]);
        v.readOnly = f[3].split(',').contains("ro");
        // Bind-mounted files (a container's /etc/hosts) are no place for a backup folder.
        v.writable = QFileInfo(v.rootPath).isDir() &&
                     ::access(QFile::encodeName(v.rootPath).constData(), W_OK) == 0;
        const QString disk = diskSysPath(v.device);
        if (!disk.isEmpty()) {
            const QString name = QFileInfo(disk).fileName();
            v.optical = name.startsWith(QLatin1String("sr")) ||
                        readSysText(disk + QStringLiteral("/device/type")) == QLatin1String("5");
            v.removable = readSysText(disk + QStringLiteral("/removable")) == QLatin1String("1") ||
                          disk.contains(QLatin1String("/usb"));
        }
        out << v;
    }
    return out;
}

} // namespace vu
