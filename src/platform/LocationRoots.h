#pragma once

#include "platform/FileHandle.h"

#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::platform {

// Where one file-system call acts: a name inside an open folder. A path beneath a location root
// is reached from the root's descriptor without following any link; any other path is used as
// it stands (folder AT_FDCWD, the whole path as the name).
struct Place {
    int folder = AT_FDCWD;
    std::string name;                         // never empty
    std::string path;                         // the whole path, as asked for
    std::shared_ptr<const FileHandle> opened; // the folder, when it was opened for this place
    std::shared_ptr<const void> root;         // keeps the root's descriptor open while the place is used
    bool beneathRoot() const { return root != nullptr; }
};

// The folders a run works in. Each root is opened once, on its first use (on the thread that
// needs it, so that a share that does not answer holds only that command), and every path beneath
// it is resolved component by component from there: a folder that has been swapped for a link
// since the analysis fails the call with ELOOP (or ENOTDIR) instead of leading elsewhere. Each
// thread keeps the last two folders it opened beneath a root for its next calls there.
class LocationRoots {
public:
    // Replaces the roots; calls in flight keep the roots they resolved against.
    void set(const std::vector<std::string>& roots);

    // The place of `path`: its folder opened beneath its root (links refused), or the plain path.
    int place(const std::string& path, Place& out) const;
    // Opens `path` itself with `flags`; beneath a root no component may be a link, the last
    // one included. Elsewhere the path is opened as it stands.
    int open(const std::string& path, int flags, FileHandle& out) const;

private:
    struct Root;
    std::shared_ptr<Root> rootOf(const std::string& path, std::string& relative) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Root>> roots_;
};

// Closes the folders this thread keeps for its next calls. A thread about to idle, and a run that
// has ended, must not keep a share or a removable disk busy (it could not be unmounted).
void forgetRecentFolders();

// The name (after the last '/') and the folder part (up to it, without it; "" when none) of a
// relative path, trailing slashes ignored.
void splitLast(const std::string& path, std::string& folder, std::string& name);

} // namespace velmora::platform
