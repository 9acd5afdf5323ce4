#include "platform/PosixFileSystem.h"

#include "platform/FileCopy.h"
#include "platform/FileHandle.h"
#include "platform/LetterCase.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

constexpr std::size_t kListBuffer = 64u << 10; // bytes of directory entries per getdents64 call

bool isReadOnly(const struct stat& info) {
    return !S_ISLNK(info.st_mode) && (info.st_mode & 0222) == 0;
}

// Folders count no bytes, as the rest of the program expects of them.
std::uint64_t sizeOf(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
}

FileIdentity identityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool isListed(mode_t mode) {
    return S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode);
}

} // namespace

void PosixFileSystem::setLocationRoots(const std::vector<std::string>& roots) {
    roots_.set(roots);
}

int PosixFileSystem::getAttributes(const std::string& path, FileAttributes& out) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    struct stat info {};
    if (::fstatat(place.folder, place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    out.mode = info.st_mode;
    out.isDirectory = S_ISDIR(info.st_mode);
    out.isLink = S_ISLNK(info.st_mode);
    out.readOnly = isReadOnly(info);
    out.size = sizeOf(info);
    out.identity = identityOf(info);
    out.links = static_cast<std::uint64_t>(info.st_nlink);
    return 0;
}

int PosixFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    if (::fchmodat(place.folder, place.name.c_str(), mode & 07777, AT_SYMLINK_NOFOLLOW) == 0)
        return 0;
    const int error = errno;
    // A link has no permission bits of its own on Linux: there is nothing to set.
    struct stat info {};
    if (error == EOPNOTSUPP && ::fstatat(place.folder, place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode))
        return 0;
    return error;
}

int PosixFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                              CommandGate* gate, bool allowReadOnly, const SeenTarget* seen) {
    Place from;
    Place to;
    if (int error = roots_.place(source, from))
        return error;
    if (int error = roots_.place(target, to))
        return error;
    return copyThroughTemporary(from, to, failIfExists, gate, allowReadOnly, seen);
}

int PosixFileSystem::readFile(const std::string& path, FileStamp& stamp, const ByteSink& sink,
                              CommandGate* gate) {
    Place from;
    if (int error = roots_.place(path, from))
        return error;
    return readThroughSink(from, stamp, sink, gate);
}

int PosixFileSystem::writeFile(const std::string& target, const ByteFill& fill, bool failIfExists,
                               CommandGate* gate, bool allowReadOnly, const SeenTarget* seen) {
    Place to;
    if (int error = roots_.place(target, to))
        return error;
    return writeThroughTemporary(to, fill, failIfExists, gate, allowReadOnly, seen);
}

int PosixFileSystem::moveFile(const std::string& source, const std::string& target) {
    Place from;
    Place to;
    if (int error = roots_.place(source, from))
        return error;
    if (int error = roots_.place(target, to))
        return error;
    const int error = renameNoReplace(from.folder, from.name, to.folder, to.name);
    if (error != EXDEV)
        return error;
    // Another file system: copy, then delete. Folders are not carried across.
    struct stat info {};
    if (::fstatat(from.folder, from.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EXDEV;
    if (int copyError = copyThroughTemporary(from, to, true, nullptr, false); copyError != 0)
        return copyError;
    // Like a rename, a move does not ask whether the source is read-only.
    if (::unlinkat(from.folder, from.name.c_str(), 0) != 0) {
        const int unlinkError = errno;
        ::unlinkat(to.folder, to.name.c_str(), 0); // all or nothing: no second copy left behind
        return unlinkError;
    }
    return 0;
}

int PosixFileSystem::deleteFile(const std::string& path, bool allowReadOnly, const SeenTarget* seen) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    struct stat info {};
    if (::fstatat(place.folder, place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (seen && !stillAsSeen(info, *seen))
        return kChangedAfterAnalysis;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (isReadOnly(info) && !allowReadOnly)
        return EACCES; // our own check, so that root is refused like everyone else
    return ::unlinkat(place.folder, place.name.c_str(), 0) == 0 ? 0 : errno;
}

int PosixFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    return ::mkdirat(place.folder, place.name.c_str(), mode & 0777) == 0 ? 0 : errno;
}

int PosixFileSystem::removeOwnTemporary(const std::string& path) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    if (!isMarkedTemporary(place.folder, place.name))
        return EPERM;
    return ::unlinkat(place.folder, place.name.c_str(), 0) == 0 ? 0 : errno;
}

int PosixFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    Place place;
    if (int error = roots_.place(path, place))
        return error;
    struct stat info {};
    if (::fstatat(place.folder, place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    if (isReadOnly(info) && !allowReadOnly)
        return EACCES; // our own check, so that root is refused like everyone else
    return ::unlinkat(place.folder, place.name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

int PosixFileSystem::listFolder(const std::string& path,
                                const std::function<bool(const DirEntry&)>& onEntry) {
    FileHandle folder;
    if (int error = roots_.open(path, O_RDONLY | O_DIRECTORY | O_NONBLOCK, folder))
        return error;
    auto buffer = std::make_unique<char[]>(kListBuffer);
    for (;;) {
        const ssize_t length = ::getdents64(folder.get(), buffer.get(), kListBuffer);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (length == 0)
            return 0;
        for (ssize_t offset = 0; offset < length;) {
            const auto* raw = reinterpret_cast<const struct dirent64*>(buffer.get() + offset);
            offset += raw->d_reclen;
            const char* name = raw->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            // Where the type is known, special files cost no system call at all.
            if (raw->d_type != DT_REG && raw->d_type != DT_DIR && raw->d_type != DT_LNK &&
                raw->d_type != DT_UNKNOWN)
                continue;
            struct stat info {};
            if (::fstatat(folder.get(), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT)
                    continue; // deleted while we listed: as if we had come a moment later
                return errno;
            }
            if (!isListed(info.st_mode))
                continue;
            DirEntry entry;
            entry.name = name;
            entry.isDirectory = S_ISDIR(info.st_mode);
            entry.isLink = S_ISLNK(info.st_mode);
            entry.size = sizeOf(info);
            entry.modified = toLocalTime(info.st_mtim.tv_sec);
            entry.identity = identityOf(info);
            entry.modifiedSeconds = info.st_mtim.tv_sec;
            entry.ownTemporary = S_ISREG(info.st_mode) && isMarkedTemporary(folder.get(), entry.name);
            if (!onEntry(entry))
                return 0;
        }
    }
}

bool PosixFileSystem::foldsCase(const std::string& folder) {
    FileHandle handle;
    if (roots_.open(folder, O_RDONLY | O_DIRECTORY | O_NONBLOCK, handle) != 0)
        return true;
    return folderFoldsCase(handle.get());
}

FileSystem& realFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace velmora::platform
