#include "platform/LogFile.h"

#include "platform/ErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace velmora::platform {

int openLogFile(const std::string& path, bool append, FileHandle& out, FileIdentity& identity) {
    struct stat info {};
    // A FIFO without a reader answers ENXIO to a non-blocking open: say what is wrong instead.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return kNotRegularFile;
    const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (append ? O_APPEND : 0);
    FileHandle file(::open(path.c_str(), flags, 0666));
    if (!file)
        return errno;
    if (::fstat(file.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return kNotRegularFile; // put there since we looked
    if (!append && ::ftruncate(file.get(), 0) != 0)
        return errno;
    if (::fcntl(file.get(), F_SETFL, flags & O_APPEND) != 0)
        return errno;
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    out = std::move(file);
    return 0;
}

int FileSystem::openLog(const std::string& path, bool append, FileHandle& out, FileIdentity& identity) {
    return openLogFile(path, append, out, identity);
}

} // namespace velmora::platform
