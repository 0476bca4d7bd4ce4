#include "platform/backup_volumes.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vu {
namespace {

MountedVolume volume(const char* root, const char* type, const char* device) {
    MountedVolume v;
    v.rootPath = root;
    v.fileSystemType = type;
    v.device = device;
    v.writable = true;
    return v;
}

TEST(BackupVolumes, OffersWritableUserVolumesRemovableFirstWithTheirKind) {
    MountedVolume usbStick = volume("/media/op/CLE USB", "vfat", "/dev/sdb1");
    usbStick.removable = true;
    MountedVolume card = volume("/media/op/SD", "exfat", "/dev/mmcblk0p1");
    card.removable = true;
    MountedVolume dvd = volume("/media/op/DVD", "udf", "/dev/sr0");
    dvd.optical = true;
    MountedVolume cdrom = volume("/media/op/CD", "iso9660", "/dev/sr1");
    MountedVolume readOnlyDisk = volume("/mnt/archive", "ext4", "/dev/sdc1");
    readOnlyDisk.readOnly = true;
    MountedVolume notMine = volume("/srv", "ext4", "/dev/sda3");
    notMine.writable = false;
    const QList<MountedVolume> mounted = {
        volume("/", "ext4", "/dev/sda2"),
        volume("/proc", "proc", "proc"),
        volume("/sys/fs/cgroup", "cgroup2", "cgroup2"),
        volume("/dev/shm", "tmpfs", "tmpfs"),
        volume("/run/user/1000", "tmpfs", "tmpfs"),
        volume("/boot/efi", "vfat", "/dev/sda1"),
        volume("/home", "ext4", "/dev/sda4"),
        volume("/home", "ext4", "/dev/sda4"), // mounted twice
        volume("/tmp", "tmpfs", "tmpfs"),
        volume("/mnt/nas", "nfs4", "nas:/export"),
        volume("/mnt/share", "cifs", "//server/share"),
        volume("/mnt/odd", "fuse.weird", "weird"),
        volume("/snap/core/1", "squashfs", "/dev/loop0"),
        usbStick,
        card,
        dvd,
        cdrom,
        readOnlyDisk,
        notMine,
    };
    const QList<BackupVolume> expected = {
        {"/media/op/CLE USB", "Disque Amovible"},
        {"/media/op/SD", "Disque Amovible"},
        {"/", "Disque dur"},
        {"/home", "Disque dur"},
        {"/mnt/nas", "Lecteur distant"},
        {"/mnt/odd", "Inutilisable"},
        {"/mnt/share", "Lecteur distant"},
        {"/tmp", "RamDisk"},
    };
    EXPECT_EQ(backupVolumes(mounted), expected);
    EXPECT_EQ(expected.front().text(), QStringLiteral("/media/op/CLE USB Disque Amovible"));
}

TEST(BackupVolumes, DesktopMountsUnderRunMediaAreOffered) {
    MountedVolume stick = volume("/run/media/op/KEY", "vfat", "/dev/sdb1");
    stick.removable = true;
    EXPECT_EQ(backupVolumes({stick}),
              (QList<BackupVolume>{{"/run/media/op/KEY", "Disque Amovible"}}));
}

TEST(BackupVolumes, TheSystemListHoldsOnlyWritableFoldersOnce) {
    const QList<BackupVolume> list = backupVolumes(mountedVolumes());
    QSet<QString> roots;
    for (const BackupVolume& v : list) {
        EXPECT_FALSE(roots.contains(v.rootPath)) << v.rootPath.toStdString();
        roots.insert(v.rootPath);
        EXPECT_FALSE(v.rootPath.startsWith(QLatin1String("/proc")));
        EXPECT_NE(v.kind, QStringLiteral("CD-ROM"));
    }
}

} // namespace
} // namespace vu
