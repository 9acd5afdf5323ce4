#pragma once

#include <ctime>
#include <string>
#include <sys/types.h>

namespace velmora::platform {

// Where the desktop's trash of this user lives, and what to stamp on a trashed item.
struct TrashOwner {
    std::string dataHome; // $XDG_DATA_HOME when absolute, else empty
    std::string home;     // $HOME when absolute, else empty
    uid_t uid = 0;
    std::time_t now = 0;

    // From the environment and the clock.
    static TrashOwner current();
    // $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash; empty when neither is absolute.
    std::string homeTrash() const;
};

struct TrashResult {
    int error = 0;         // 0, or errno (or ENOENT when no trash applies) with the item untouched
    std::string reason;    // why it was not trashed, for the user
    std::string trashedAs; // on success, the item's new path under the trash's files/ folder
};

// Moves a file or folder into the trash that belongs with it, as the desktops share it: the home
// trash for an item on the same file system (created, mode 0700, when missing), otherwise the trash
// at the top of the item's file system ($topdir/.Trash/$uid when an administrator provided a sticky
// .Trash, else $topdir/.Trash-$uid). The item is renamed, never copied: when no trash on its own file
// system can take it, it stays where it is and the result says why.
TrashResult moveToTrash(const std::string& path, const TrashOwner& owner);

// The text of a trash info file's Path= value: every byte but unreserved URI characters and '/'
// percent-escaped.
std::string trashInfoPath(const std::string& path);

} // namespace velmora::platform
