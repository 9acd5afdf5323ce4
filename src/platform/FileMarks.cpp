#include "platform/FileMarks.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace velmora::platform {

FileMarks fileMarks(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC, 0, &info) != 0)
        return {};
    const auto known = info.stx_attributes_mask & info.stx_attributes;
    return {(known & STATX_ATTR_COMPRESSED) != 0, (known & STATX_ATTR_ENCRYPTED) != 0};
}

} // namespace velmora::platform
