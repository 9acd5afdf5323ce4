#include "platform/Mounts.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

// Undoes the kernel's \ooo escapes of spaces, tabs, new lines and backslashes.
std::string unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                out += static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) |
                                         (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

bool parseNumber(std::string_view text, unsigned& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

bool startsWithFolder(std::string_view path, std::string_view folder) {
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool isRemovableMediaFolder(std::string_view mountPoint) {
    return (startsWithFolder(mountPoint, "/media") || startsWithFolder(mountPoint, "/run/media")) &&
           mountPoint != "/media" && mountPoint != "/run/media";
}

// System folders whose mounts are the machine's business, not the user's.
bool isSystemFolder(std::string_view mountPoint) {
    for (std::string_view folder :
         {"/boot", "/snap", "/proc", "/sys", "/dev", "/run", "/var/lib", "/var/snap", "/tmp", "/efi"})
        if (startsWithFolder(mountPoint, folder))
            return true;
    return false;
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        const std::vector<std::string_view> fields = splitFields(line);
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (fields.size() < 6 || dash + 2 >= fields.size())
            continue;
        const std::string_view device = fields[2];
        const std::size_t colon = device.find(':');
        MountEntry entry;
        if (colon == std::string_view::npos || !parseNumber(device.substr(0, colon), entry.major) ||
            !parseNumber(device.substr(colon + 1), entry.minor))
            continue;
        entry.root = unescape(fields[3]);
        entry.mountPoint = unescape(fields[4]);
        entry.fsType = unescape(fields[dash + 1]);
        entry.source = unescape(fields[dash + 2]);
        if (dash + 3 < fields.size())
            entry.options = unescape(fields[dash + 3]);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

bool isNetworkFileSystem(std::string_view fsType) {
    for (std::string_view type : {"cifs", "smb3", "smbfs", "nfs", "nfs4", "fuse.sshfs", "fuse.gvfsd-fuse"})
        if (fsType == type)
            return true;
    return false;
}

std::vector<Volume> userVolumes(const std::vector<MountEntry>& mounts, const std::string& sysRoot,
                                RemovableTest removable) {
    if (removable == nullptr)
        removable = isRemovableDevice;
    std::vector<Volume> volumes;
    std::vector<std::pair<unsigned, unsigned>> devicesSeen;
    for (const MountEntry& mount : mounts) {
        Volume volume{mount.mountPoint, mount.source, mount.fsType, VolumeKind::Fixed};
        const bool underMedia = isRemovableMediaFolder(mount.mountPoint);
        const bool blockDevice = mount.source.starts_with("/dev/") && mount.fsType != "squashfs";
        if (isNetworkFileSystem(mount.fsType)) {
            volume.kind = VolumeKind::Network;
        } else if (underMedia && mount.fsType != "squashfs") {
            volume.kind = VolumeKind::Removable;
        } else if (blockDevice && mount.root == "/" && mount.mountPoint != "/" &&
                   !isSystemFolder(mount.mountPoint)) {
            if (removable(sysRoot, mount.major, mount.minor))
                volume.kind = VolumeKind::Removable;
        } else {
            continue;
        }
        if (volume.kind != VolumeKind::Network) {
            const std::pair<unsigned, unsigned> device{mount.major, mount.minor};
            if (std::find(devicesSeen.begin(), devicesSeen.end(), device) != devicesSeen.end())
                continue;
            devicesSeen.push_back(device);
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

bool readTextFile(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    out.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return got == 0;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

bool isRemovableDevice(const std::string& sysRoot, unsigned major, unsigned minor) {
    const std::string device = sysRoot + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    std::string text;
    // A partition has no flag of its own; the kernel resolves ".." after the link to the disk.
    if (!readTextFile(device + "/removable", text) && !readTextFile(device + "/../removable", text))
        return false;
    return text.starts_with('1');
}

std::vector<Volume> mountedVolumes() {
    std::string text;
    if (!readTextFile("/proc/self/mountinfo", text))
        return {};
    return userVolumes(parseMountInfo(text));
}

} // namespace velmora::platform
