#include "platform/LetterCase.h"

#include "platform/Mounts.h"

#include <algorithm>
#include <linux/fs.h>
#include <linux/magic.h>
#include <mutex>
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
    }
    return true;
}

} // namespace velmora::platform
