#include "platform/LocationRoots.h"

#include <atomic>
#include <cerrno>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

constexpr int kRaceRetries = 8; // openat2 answers EAGAIN when a rename raced the walk

std::atomic<bool> openat2Missing{false};

std::string withoutTrailingSlashes(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    return path.substr(0, end);
}

// The same walk without openat2 (older kernels, filters that refuse it): one component at a
// time, none of them followed when it is a link, and none of them "..".
int openByComponents(int rootFd, const std::string& relative, int flags, FileHandle& out) {
    FileHandle current;
    int at = rootFd;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string component = relative.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..")
            return EXDEV; // as openat2 refuses a way out of the root
        const bool last = relative.find_first_not_of('/', end) == std::string::npos;
        const int componentFlags = last ? flags | O_NOFOLLOW : O_PATH | O_DIRECTORY | O_NOFOLLOW;
        FileHandle next(::openat(at, component.c_str(), componentFlags | O_CLOEXEC, 0));
        if (!next) {
            const int error = errno;
            // A link opened with O_NOFOLLOW | O_DIRECTORY says ENOTDIR; say what openat2 says.
            struct stat info {};
            if (error == ENOTDIR && ::fstatat(at, component.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode))
                return ELOOP;
            return error;
        }
        if (last) {
            out = std::move(next);
            return 0;
        }
        current = std::move(next);
        at = current.get();
    }
    // Only "." components: the root itself.
    FileHandle self(::openat(at, ".", flags | O_CLOEXEC, 0));
    if (!self)
        return errno;
    out = std::move(self);
    return 0;
}

int openBeneath(int rootFd, const std::string& relative, int flags, FileHandle& out) {
    const std::string path = relative.empty() ? std::string(".") : relative;
    if (!openat2Missing.load(std::memory_order_relaxed)) {
        struct open_how how {};
        // No O_NOFOLLOW: with it a last component that is a link would be opened as the link
        // itself; RESOLVE_NO_SYMLINKS refuses it with ELOOP instead.
        how.flags = static_cast<__u64>(static_cast<unsigned>(flags | O_CLOEXEC));
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
        for (int attempt = 0;; ++attempt) {
            const long fd = ::syscall(SYS_openat2, rootFd, path.c_str(), &how, sizeof how);
            if (fd >= 0) {
                out = FileHandle(static_cast<int>(fd));
                return 0;
            }
            if (errno == EAGAIN && attempt + 1 < kRaceRetries)
                continue;
            if (errno != ENOSYS && errno != EPERM)
                return errno;
            openat2Missing = true;
            break;
        }
    }
    return openByComponents(rootFd, path, flags, out);
}

// The folders this thread opened last beneath a root. The files of a folder are handled one after
// another, so a worker mostly asks for the same two folders (the source's and the target's) again:
// their descriptors serve again, sparing an openat2 and a close per call. A descriptor is the
// folder itself, not its path: one swapped for a link since still leads nowhere else. The root is
// part of the key and is kept alive by it, so a later run (new roots) opens its folders afresh.
struct RecentFolder {
    std::shared_ptr<const void> root;
    std::string relative;
    std::shared_ptr<const FileHandle> handle;
};
thread_local RecentFolder recentFolders[2];
thread_local unsigned nextRecent = 0;

std::shared_ptr<const FileHandle> recentFolder(const void* root, const std::string& relative) {
    for (const RecentFolder& recent : recentFolders)
        if (recent.root.get() == root && recent.relative == relative)
            return recent.handle;
    return nullptr;
}

void rememberFolder(std::shared_ptr<const void> root, const std::string& relative,
                    std::shared_ptr<const FileHandle> handle) {
    RecentFolder& slot = recentFolders[nextRecent];
    nextRecent = (nextRecent + 1) % 2;
    slot = {std::move(root), relative, std::move(handle)};
}

} // namespace

void forgetRecentFolders() {
    for (RecentFolder& recent : recentFolders)
        recent = {};
}

struct LocationRoots::Root {
    std::string path; // without trailing slashes
    std::mutex mutex;
    bool tried = false;
    int error = 0;
    FileHandle handle;

    // The root's descriptor, opened on first use. The root itself may be reached through a link:
    // the user named it.
    int descriptor(int& fd) {
        std::lock_guard lock(mutex);
        if (!tried) {
            handle = FileHandle(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            error = handle ? 0 : errno;
            // A root that is not there yet (a target made by this run) is tried again next time.
            tried = error != ENOENT;
        }
        fd = handle.get();
        return error;
    }
};

void splitLast(const std::string& path, std::string& folder, std::string& name) {
    const std::string trimmed = withoutTrailingSlashes(path);
    const std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        folder.clear();
        name = trimmed;
        return;
    }
    folder = trimmed.substr(0, slash);
    name = trimmed.substr(slash + 1);
}

void LocationRoots::set(const std::vector<std::string>& roots) {
    std::vector<std::shared_ptr<Root>> fresh;
    for (const std::string& path : roots) {
        if (path.empty())
            continue;
        auto root = std::make_shared<Root>();
        root->path = withoutTrailingSlashes(path);
        fresh.push_back(std::move(root));
    }
    // The roots change at a run's start and end, on the run's own thread.
    forgetRecentFolders();
    std::lock_guard lock(mutex_);
    roots_ = std::move(fresh);
}

std::shared_ptr<LocationRoots::Root> LocationRoots::rootOf(const std::string& path,
                                                           std::string& relative) const {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Root> best;
    for (const auto& root : roots_) {
        const std::string& prefix = root->path;
        const bool beneath = path.starts_with(prefix) &&
                             (path.size() == prefix.size() || path[prefix.size()] == '/' || prefix == "/");
        if (beneath && (!best || prefix.size() > best->path.size()))
            best = root;
    }
    if (best) {
        const std::size_t skip = best->path == "/" ? 1 : best->path.size();
        relative = path.size() > skip ? path.substr(skip) : std::string();
        while (!relative.empty() && relative.front() == '/')
            relative.erase(0, 1);
    }
    return best;
}

int LocationRoots::place(const std::string& path, Place& out) const {
    std::string relative;
    std::shared_ptr<Root> root = rootOf(path, relative);
    out.path = path;
    // The root itself by its path, as the user named it: looking up "." from its descriptor
    // would ask for a search right that naming it does not need.
    if (!root || relative.empty()) {
        out.folder = AT_FDCWD;
        out.name = withoutTrailingSlashes(path);
        return 0;
    }
    int rootFd = -1;
    if (int error = root->descriptor(rootFd))
        return error;
    std::string folder;
    splitLast(relative, folder, out.name);
    out.root = root;
    if (folder.empty()) {
        out.folder = rootFd;
        return 0;
    }
    if (auto recent = recentFolder(root.get(), folder)) {
        out.opened = std::move(recent);
    } else {
        FileHandle handle;
        if (int error = openBeneath(rootFd, folder, O_PATH | O_DIRECTORY, handle))
            return error;
        out.opened = std::make_shared<const FileHandle>(std::move(handle));
        rememberFolder(root, folder, out.opened);
    }
    out.folder = out.opened->get();
    return 0;
}

int LocationRoots::open(const std::string& path, int flags, FileHandle& out) const {
    std::string relative;
    std::shared_ptr<Root> root = rootOf(path, relative);
    if (!root || relative.empty()) {
        out = FileHandle(::open(path.c_str(), flags | O_CLOEXEC));
        return out ? 0 : errno;
    }
    int rootFd = -1;
    if (int error = root->descriptor(rootFd))
        return error;
    return openBeneath(rootFd, withoutTrailingSlashes(relative), flags, out);
}

} // namespace velmora::platform
