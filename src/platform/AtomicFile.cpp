#include "platform/AtomicFile.h"

#include "platform/FileHandle.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name no other writer (thread or process) picks at the same moment.
std::string temporarySibling(const std::string& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const unsigned long long tag =
        (static_cast<unsigned long long>(::getpid()) << 32) ^ (counter.fetch_add(1) * 2654435761u) ^ attempt;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    unsigned long long rest = tag;
    for (int i = 0; i < 6; ++i) {
        suffix += digits[rest % 36];
        rest /= 36;
    }
    const auto slash = path.rfind('/');
    const std::string prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return prefix + "." + nameOf(path) + ".velmora-" + suffix;
}

int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Makes the rename itself durable; a file system that cannot sync folders is not an error.
void syncFolder(const std::string& folder) {
    FileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle)
        ::fsync(handle.get());
}

} // namespace

int writeFileAtomically(const std::string& requestedPath, std::string_view contents) {
    if (requestedPath.empty() || requestedPath.back() == '/')
        return EISDIR;
    // A link (a settings file kept with the user's other dot files, say) stays a link: the file
    // it points to is the one replaced.
    std::string path = requestedPath;
    struct stat linkInfo {};
    if (::lstat(requestedPath.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        char* resolved = ::realpath(requestedPath.c_str(), nullptr);
        if (resolved != nullptr) {
            path = resolved;
            std::free(resolved);
        }
    }
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return EISDIR;

    std::string temporary;
    FileHandle handle;
    for (unsigned attempt = 0; attempt < 100 && !handle; ++attempt) {
        temporary = temporarySibling(path, attempt);
        handle = FileHandle(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!handle && errno != EEXIST)
            return errno;
    }
    if (!handle)
        return EEXIST;

    int error = 0;
    if (exists && ::fchmod(handle.get(), existing.st_mode & 07777) != 0)
        error = errno;
    if (error == 0)
        error = writeAll(handle.get(), contents);
    if (error == 0 && ::fsync(handle.get()) != 0)
        error = errno;
    if (const int closeError = handle.close(); error == 0)
        error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    syncFolder(folderOf(path));
    return 0;
}

int readWholeFile(const std::string& path, std::string& out) {
    out.clear();
    FileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!handle)
        return errno;
    struct stat info {};
    if (::fstat(handle.get(), &info) != 0)
        return errno;
    // A FIFO or device could block or never end; only regular files hold our records.
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(handle.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            out.clear();
            return error;
        }
        if (got == 0)
            return 0;
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

int createFolders(const std::string& path) {
    if (path.empty())
        return 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    const std::string parent = folderOf(path);
    if (parent != path && parent != "." && parent != "/") {
        if (const int error = createFolders(parent); error != 0)
            return error;
    }
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

} // namespace velmora::platform
