#include "platform/RealPath.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace velmora::platform {

int realPath(const std::string& path, std::string& resolved) {
    std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr), &std::free);
    if (!result)
        return errno ? errno : ENOENT;
    resolved = result.get();
    return 0;
}

} // namespace velmora::platform
