#include "platform/FileMarks.h"
#include "platform/Mounts.h"
#include "platform/SharedFolders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

// A desktop machine's table: root, home and a data disk, boot, a USB stick, a snap, a bind mount,
// two network shares, GVfs, and the kernel's own file systems.
constexpr const char* kMountInfo = "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
                                   "23 22 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
                                   "24 22 0:22 / /sys rw shared:2 - sysfs sysfs rw\n"
                                   "25 24 0:26 / /sys/fs/cgroup rw shared:4 - cgroup2 cgroup2 rw\n"
                                   "26 22 0:5 / /dev/pts rw shared:3 - devpts devpts rw\n"
                                   "27 22 259:1 / /boot/efi rw shared:5 - vfat /dev/nvme0n1p1 rw\n"
                                   "28 22 259:3 / /home rw shared:6 - ext4 /dev/nvme0n1p3 rw\n"
                                   "29 22 8:17 / /media/ann/USB\\040STICK rw shared:7 - vfat /dev/sdb1 rw\n"
                                   "30 22 7:4 / /snap/core22/1033 ro shared:8 - squashfs /dev/loop4 ro\n"
                                   "31 22 259:3 /ann/data /srv/data rw shared:6 - ext4 /dev/nvme0n1p3 rw\n"
                                   "32 22 0:50 / /mnt/nas rw shared:9 - cifs //nas/media rw\n"
                                   "33 22 0:51 / /mnt/export rw shared:10 - nfs4 fileserver:/export/home rw\n"
                                   "34 22 0:52 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
                                   "35 22 8:33 / /data rw shared:11 - ext4 /dev/sdc1 rw\n"
                                   "36 22 0:53 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
                                   "37 22 8:17 / /mnt/again rw - vfat /dev/sdb1 rw\n"
                                   "not a mount line\n";

bool sdcIsRemovable(const std::string&, unsigned major, unsigned minor) {
    return major == 8 && minor == 33;
}

TEST(Volumes, ParsesMountInfoAndKeepsWhatAUserWouldRecognise) {
    const std::vector<MountEntry> mounts = parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 16u);
    EXPECT_EQ(mounts[7].mountPoint, "/media/ann/USB STICK");
    EXPECT_EQ(mounts[7].major, 8u);
    EXPECT_EQ(mounts[7].minor, 17u);
    EXPECT_EQ(mounts[9].root, "/ann/data");

    std::vector<std::pair<std::string, VolumeKind>> shown;
    for (const Volume& volume : userVolumes(mounts, "/nonexistent", sdcIsRemovable))
        shown.emplace_back(volume.mountPoint, volume.kind);
    const std::vector<std::pair<std::string, VolumeKind>> expected{
        {"/home", VolumeKind::Fixed},      {"/media/ann/USB STICK", VolumeKind::Removable},
        {"/mnt/nas", VolumeKind::Network}, {"/mnt/export", VolumeKind::Network},
        {"/data", VolumeKind::Removable},  {"/run/user/1000/gvfs", VolumeKind::Network}};
    EXPECT_EQ(shown, expected);
}

TEST(Volumes, RemovableFlagOfAPartitionComesFromItsDisk) {
    test::TempDir sys;
    sys.writeFile("devices/sdb/removable", "1\n");
    sys.writeFile("devices/sda/removable", "0\n");
    sys.makeFolder("devices/sdb/sdb1");
    sys.makeFolder("devices/sda/sda1");
    sys.makeFolder("dev/block");
    sys.makeLink("dev/block/8:17", "../../devices/sdb/sdb1");
    sys.makeLink("dev/block/8:16", "../../devices/sdb");
    sys.makeLink("dev/block/8:1", "../../devices/sda/sda1");
    const std::string root = sys.path().substr(0, sys.path().size() - 1);
    EXPECT_TRUE(isRemovableDevice(root, 8, 17));
    EXPECT_TRUE(isRemovableDevice(root, 8, 16));
    EXPECT_FALSE(isRemovableDevice(root, 8, 1));
    EXPECT_FALSE(isRemovableDevice(root, 9, 9));
}

TEST(SharedFolders, EachSourceIsReadAndMissingFilesGiveNothing) {
    EXPECT_EQ(parseUserShare("#VERSION 2\npath=/home/ann/Public\ncomment=\nusershare_acl=S-1-1-0:R\n"),
              std::vector<std::string>{"/home/ann/Public"});
    EXPECT_EQ(parseSambaConfig("[global]\n  path = /not/a/share\n; path = /commented\n[Media]\n"
                               "   Path = /srv/media/\n[printers]\n directory = /var/spool/samba\n"),
              (std::vector<std::string>{"/srv/media", "/var/spool/samba"}));
    EXPECT_EQ(parseExports("# comment\n/srv/nfs  192.168.1.0/24(rw)\n\"/srv/with space\" host(ro)\n"
                           "/srv/esc\\040aped *(ro)\n/srv/long \\\n   client(rw)\n"),
              (std::vector<std::string>{"/srv/nfs", "/srv/with space", "/srv/esc aped", "/srv/long"}));

    test::TempDir dir;
    dir.writeFile("usershares/public", "path=/home/ann/Public\n");
    dir.writeFile("exports", "/srv/nfs *(ro)\n");
    EXPECT_EQ(sharedFolders({dir.at("usershares"), dir.at("missing.conf"), dir.at("exports")}),
              (std::vector<std::string>{"/home/ann/Public", "/srv/nfs"}));
    EXPECT_TRUE(sharedFolders({dir.at("none"), dir.at("none"), dir.at("none")}).empty());
}

TEST(FileMarks, PlainFilesAndMissingPathsAreNeitherCompressedNorEncrypted) {
    test::TempDir dir;
    const FileMarks plain = fileMarks(dir.writeFile("a.txt", "x"));
    EXPECT_FALSE(plain.compressed || plain.encrypted);
    const FileMarks missing = fileMarks(dir.at("gone"));
    EXPECT_FALSE(missing.compressed || missing.encrypted);
}

} // namespace
} // namespace velmora::platform
