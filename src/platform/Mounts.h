#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// One line of /proc/self/mountinfo, with the octal escapes (\040 for a space) undone.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string root; // the folder of the file system mounted here ("/" unless a bind mount)
    std::string mountPoint;
    std::string fsType;
    std::string source;
    std::string options; // the file system's own options ("rw,nocase,...")
};

// Lines that do not have the form of a mountinfo line are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

enum class VolumeKind { Fixed, Removable, Network };

// A mounted volume a user would recognise.
struct Volume {
    std::string mountPoint;
    std::string source;
    std::string fsType;
    VolumeKind kind = VolumeKind::Fixed;
};

// cifs/smb3, nfs/nfs4, sshfs and the GVfs mount.
bool isNetworkFileSystem(std::string_view fsType);

// Answers whether the block device major:minor holds removable media.
using RemovableTest = bool (*)(const std::string& sysRoot, unsigned major, unsigned minor);

// The volumes worth showing: real block devices (not "/" itself, nor boot, snap or system
// folders), removable media under /media or /run/media, and network file systems. Kernel and
// container file systems (proc, sys, cgroup, devpts, overlay, tmpfs, snap squashfs) never appear,
// nor bind mounts of a subfolder, nor a second mount of a device already listed.
std::vector<Volume> userVolumes(const std::vector<MountEntry>& mounts, const std::string& sysRoot = "/sys",
                                RemovableTest removable = nullptr);

// From sysfs: <sysRoot>/dev/block/MAJ:MIN/removable, or its parent device's for a partition.
bool isRemovableDevice(const std::string& sysRoot, unsigned major, unsigned minor);

// The volumes of this machine, from /proc/self/mountinfo and /sys; empty when unreadable.
std::vector<Volume> mountedVolumes();

// Whole contents of a small text file; false when it cannot be read.
bool readTextFile(const std::string& path, std::string& out);

} // namespace velmora::platform
