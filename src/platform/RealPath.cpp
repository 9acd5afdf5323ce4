#include "platform/RealPath.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace velmora::platform {

int realPath(const std::string& path, std::string& resolved) {
    std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr), &std::free);
    if (!result)
        return errno ? errno : ENOENT;
    resolved = result.get();
    return 0;
}

int identityOfPath(const std::string& path, FileIdentity& identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return 0;
}

int FileSystem::resolveLocation(const std::string& path, std::string& real, FileIdentity& identity) {
    if (const int error = realPath(path, real))
        return error;
    return identityOfPath(real, identity);
}

} // namespace velmora::platform
