#include "platform/Trash.h"

#include "platform/Environment.h"
#include "platform/ErrorText.h"
#include "platform/PercentEncoding.h"
#include "platform/RealPath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

bool isAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

TrashResult failure(int error, std::string reason) {
    return {error, std::move(reason), {}};
}

// A folder of ours: an existing real folder (not a link to one), or one made now with mode 0700.
int ownFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// Makes `path` and every missing folder above it, each with mode 0700.
int ownFolderTree(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

int trashFolders(const std::string& trash) {
    if (const int error = ownFolder(joined(trash, "files")))
        return error;
    return ownFolder(joined(trash, "info"));
}

// The device of `path`, or of the nearest folder above it that exists.
dev_t deviceOfNearest(std::string path) {
    struct stat info {};
    while (stat(path.c_str(), &info) != 0 && path != "/")
        path = parentOf(path);
    return info.st_dev;
}

// The highest folder above `folder` that is still on `device`: where that file system is mounted.
std::string topDirectory(std::string folder, dev_t device) {
    while (folder != "/") {
        struct stat info {};
        const std::string parent = parentOf(folder);
        if (stat(parent.c_str(), &info) != 0 || info.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

// $topdir/.Trash/$uid when an administrator made .Trash a sticky real folder, else $topdir/.Trash-$uid.
int topDirectoryTrash(const std::string& topDir, uid_t uid, std::string& trash) {
    const std::string shared = joined(topDir, ".Trash");
    struct stat info {};
    if (lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX)) {
        trash = joined(shared, std::to_string(uid));
        if (ownFolder(trash) == 0 && trashFolders(trash) == 0)
            return 0;
    }
    trash = joined(topDir, ".Trash-" + std::to_string(uid));
    if (const int error = ownFolder(trash))
        return error;
    if (lstat(trash.c_str(), &info) != 0)
        return errno;
    if (info.st_uid != uid)
        return EPERM;
    return trashFolders(trash);
}

std::string deletionDate(std::time_t now) {
    struct tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Claims a name in the trash by creating its info file exclusively: "name", then "name.2", ...
int reserveName(const std::string& trash, const std::string& name, const std::string& infoText,
                std::string& chosen) {
    for (int attempt = 1; attempt < 100000; ++attempt) {
        chosen = attempt == 1 ? name : name + "." + std::to_string(attempt);
        const std::string info = joined(trash, "info/" + chosen + ".trashinfo");
        const int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        struct stat taken {};
        const bool stale = lstat(joined(trash, "files/" + chosen).c_str(), &taken) == 0;
        const bool written = !stale && writeAll(fd, infoText) && fsync(fd) == 0;
        const int error = written ? 0 : errno;
        close(fd);
        if (written)
            return 0;
        unlink(info.c_str());
        if (!stale)
            return error != 0 ? error : EIO;
    }
    return EEXIST;
}

TrashResult moveInto(const std::string& trash, const std::string& item, const std::string& shownPath,
                     const TrashOwner& owner) {
    const std::string infoText =
        "[Trash Info]\nPath=" + trashInfoPath(shownPath) + "\nDeletionDate=" + deletionDate(owner.now) + "\n";
    const std::string name = item.substr(item.find_last_of('/') + 1);
    std::string chosen;
    if (const int error = reserveName(trash, name, infoText, chosen))
        return failure(error, "Could not write to the trash " + trash + ": " + errorText(error));
    const std::string target = joined(trash, "files/" + chosen);
    if (rename(item.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(joined(trash, "info/" + chosen + ".trashinfo").c_str());
        return failure(error, "Could not move into the trash " + trash + ": " + errorText(error));
    }
    struct stat info {};
    if (lstat(target.c_str(), &info) != 0 || lstat(item.c_str(), &info) == 0)
        return failure(EIO, "The item is not where the trash should have it: " + target);
    return {0, {}, target};
}

} // namespace

TrashOwner TrashOwner::current() {
    TrashOwner owner;
    owner.dataHome = environmentValue("XDG_DATA_HOME");
    owner.home = environmentValue("HOME");
    if (!isAbsolute(owner.dataHome))
        owner.dataHome.clear();
    if (!isAbsolute(owner.home))
        owner.home.clear();
    owner.uid = getuid();
    owner.now = std::time(nullptr);
    return owner;
}

std::string TrashOwner::homeTrash() const {
    if (isAbsolute(dataHome))
        return joined(dataHome, "Trash");
    if (isAbsolute(home))
        return joined(home, ".local/share/Trash");
    return {};
}

std::string trashInfoPath(const std::string& path) {
    return percentEncoded(path);
}

TrashResult moveToTrash(const std::string& path, const TrashOwner& owner) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string name = trimmed.substr(trimmed.find_last_of('/') + 1);
    if (!isAbsolute(trimmed) || name.empty() || name == "." || name == "..")
        return failure(EINVAL, "Not a file or folder that can go to the trash: " + path);
    std::string folder;
    if (const int error = realPath(parentOf(trimmed), folder))
        return failure(error, "Could not find the folder of " + path + ": " + errorText(error));
    const std::string item = joined(folder, name);
    struct stat itemInfo {};
    if (lstat(item.c_str(), &itemInfo) != 0) {
        const int error = errno;
        return failure(error, "Could not access " + path + ": " + errorText(error));
    }

    struct stat folderInfo {};
    if (stat(folder.c_str(), &folderInfo) != 0 || folderInfo.st_dev != itemInfo.st_dev)
        return failure(EBUSY, "A mounted file system cannot go to the trash: " + path);

    const std::string homeTrash = owner.homeTrash();
    if (homeTrash.empty())
        return failure(ENOENT, "There is no trash: neither XDG_DATA_HOME nor HOME names an absolute folder");
    if (deviceOfNearest(homeTrash) == itemInfo.st_dev) {
        int error = ownFolderTree(homeTrash);
        if (error == 0)
            error = trashFolders(homeTrash);
        if (error != 0)
            return failure(error, "Could not make the trash folder " + homeTrash + ": " + errorText(error));
        TrashResult result = moveInto(homeTrash, item, item, owner);
        // Another mount of the same file system (a bind mount) cannot rename across; its own
        // top-directory trash can.
        if (result.error != EXDEV)
            return result;
    }

    const std::string topDir = topDirectory(folder, itemInfo.st_dev);
    std::string trash;
    if (const int error = topDirectoryTrash(topDir, owner.uid, trash))
        return failure(error, "There is no trash for " + path + " on its own file system (" + trash +
                                  "): " + errorText(error));
    const std::string relative = topDir == "/" ? item.substr(1) : item.substr(topDir.size() + 1);
    return moveInto(trash, item, relative, owner);
}

} // namespace velmora::platform
