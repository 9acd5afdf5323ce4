#include "platform/LetterCase.h"

#include "platform/FileHandle.h"
#include "platform/Mounts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <utility>
#include <vector>

namespace velmora::platform {

namespace {

// Not in every kernel's headers.
constexpr std::uint64_t kSmbMagic = 0x517B;
constexpr std::uint64_t kNtfs3Magic = 0x7366746e;
constexpr std::uint64_t kHfsPlusMagic = 0x482b;
constexpr std::uint64_t kFuseMagic = 0x65735546;

// The name with the letter case of its ASCII letters swapped; empty when it has none.
std::string otherCase(const std::string& name) {
    std::string swapped = name;
    bool changed = false;
    for (char& c : swapped) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else
            continue;
        changed = true;
    }
    return changed ? swapped : std::string();
}

// A FUSE folder is asked by looking up names, never by writing one, so that a run that only
// plans changes nothing. Its own names come first, then its parent's when that is on the same
// file system (an empty folder); a folder that tells nothing is taken as ignoring case.
bool foldsByLookUp(int folder) {
    if (const int answer = lookUpInOtherCase(folder); answer >= 0)
        return answer == 1;
    FileHandle parent(::openat(folder, "..", O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    struct stat self {};
    struct stat above {};
    if (parent && ::fstat(folder, &self) == 0 && ::fstat(parent.get(), &above) == 0 &&
        self.st_dev == above.st_dev)
        if (const int answer = lookUpInOtherCase(parent.get()); answer >= 0)
            return answer == 1;
    return true;
}

// Mount options are read from mountinfo once per device: they hold for the whole mount.
class MountCaseRules {
public:
    bool folds(dev_t device) {
        std::lock_guard lock(mutex_);
        for (const auto& [known, folds] : known_)
            if (known == device)
                return folds;
        bool folds = true;
        std::string text;
        if (readTextFile("/proc/self/mountinfo", text))
            for (const MountEntry& mount : parseMountInfo(text))
                if (mount.major == ::major(device) && mount.minor == ::minor(device))
                    folds = mountOptionsFoldCase(mount.options);
        known_.emplace_back(device, folds);
        return folds;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<dev_t, bool>> known_;
};

} // namespace

CaseRule caseRuleOf(std::uint64_t fsType) {
    switch (fsType) {
    case MSDOS_SUPER_MAGIC: // vfat and msdos
    case EXFAT_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case kSmbMagic:
    case kHfsPlusMagic:
        return CaseRule::Folded;
    case EXT4_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return CaseRule::PerFolder;
    case kNtfs3Magic:
        return CaseRule::ByMountOptions;
    case kFuseMagic:
        return CaseRule::ByLookUp;
    default:
        return CaseRule::Exact;
    }
}

bool mountOptionsFoldCase(std::string_view options) {
    while (!options.empty()) {
        const std::size_t comma = std::min(options.find(','), options.size());
        if (options.substr(0, comma) == "nocase")
            return true;
        options.remove_prefix(std::min(comma + 1, options.size()));
    }
    return false;
}

int lookUpInOtherCase(int folder) {
    const int copy = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (copy < 0)
        return -1;
    DIR* listing = ::fdopendir(copy);
    if (listing == nullptr) {
        ::close(copy);
        return -1;
    }
    std::set<std::string> names;
    while (const dirent* entry = ::readdir(listing))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.insert(entry->d_name);
    ::closedir(listing);
    for (const std::string& name : names) {
        const std::string swapped = otherCase(name);
        if (swapped.empty())
            continue;
        if (names.contains(swapped))
            return 0; // both spellings are there side by side
        struct stat info {};
        if (::fstatat(folder, swapped.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
            return 1;
        if (errno == ENOENT)
            return 0;
    }
    return -1;
}

bool folderFoldsCase(int folder) {
    struct statfs kind {};
    if (::fstatfs(folder, &kind) != 0)
        return true;
    switch (caseRuleOf(static_cast<std::uint64_t>(kind.f_type))) {
    case CaseRule::Exact:
        return false;
    case CaseRule::Folded:
        return true;
    case CaseRule::PerFolder: {
        // A kernel or file system without the attribute matches by bytes.
        int flags = 0;
        return ::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
    }
    case CaseRule::ByMountOptions: {
        static MountCaseRules rules;
        struct stat info {};
        return ::fstat(folder, &info) != 0 || rules.folds(info.st_dev);
    }
    case CaseRule::ByLookUp:
        return foldsByLookUp(folder);
    }
    return true;
}

} // namespace velmora::platform
