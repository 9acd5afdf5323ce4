#pragma once

#include "items/ExclusionSet.h"
#include "items/FileItem.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct FileCommand;

// A copy or delete started and not yet finished.
struct PendingCommand {
    std::shared_ptr<FileCommand> command;
    std::uint64_t bytes = 0; // the source's size, added to the work done when the copy is finished
};

// How the engine reads and changes one location.
class LocationAccess {
public:
    virtual ~LocationAccess() = default;

    virtual void setExclusions(const ExclusionSet* first, const ExclusionSet* second) = 0;
    // Whether a copy or delete that fails on a read-only target clears the bit and retries;
    // the run sets it from its options.
    virtual void setReadOnlyOverwrite(bool on) = 0;
    // One item per entry of the folder (path ends in its separator). An empty folder is an
    // empty success; a folder that cannot be listed is a failure, never an empty list.
    // Lists on a worker under the command timeout (a listing that stops answering fails with
    // "Timed out") while the front end is pumped; Stop ends it at once with an empty success.
    virtual bool listFolder(const std::string& folderPath, std::vector<FileItemPtr>& items) = 0;
    // The listing split into files and folders, each sorted by name (ASCII case ignored).
    virtual bool readFolder(const std::string& folderPath, std::vector<FileItemPtr>& files,
                            std::vector<FileItemPtr>& folders) = 0;
    // Files no run may touch in this location, such as the run's own log: never listed.
    virtual void setProtectedFile(const platform::FileIdentity& file) { (void)file; }
    // Temporary files an interrupted run of this program left (those carrying its mark) are hidden
    // from every listing, so that none is ever copied. Given a function, the folders this location
    // lists lose them too, each removal told to it with the file's path: the target of a run that
    // may write. Without one nothing is removed.
    virtual void setLeftoverRemoval(std::function<void(const std::string& path)> removed) { (void)removed; }
    // The other location's folder: a folder listed here that is that very folder (a bind mount
    // or another path to it) makes the locations overlap, which overlap() then describes.
    virtual void setOtherRoot(const platform::FileIdentity& root, const std::string& path) {
        (void)root;
        (void)path;
    }
    virtual std::string overlap() const { return {}; }
    virtual bool isAvailable() const = 0;
    virtual bool isExcludedByFirst(const FileItem& item) const = 0;
    virtual bool isExcludedBySecond(const FileItem& item) const = 0;
    virtual bool usesForwardSlashes() const = 0;
    // Adds the source's size to the work done, then copies under the command timeout.
    virtual bool copyFile(const FileItem& source, const FileItem& target) = 0;
    virtual bool deleteFile(const FileItem& item) = 0;
    // A new folder with no more permission bits than `sourceMode` (see FileCommands::createFolder).
    virtual bool createFolder(const FileItem& item, std::int64_t sourceMode) = 0;

    // The same copy and delete with several in flight: start hands the command to a worker and
    // returns at once, finish waits for that one and returns its result (and its reason).
    virtual PendingCommand startCopy(const FileItem& source, const FileItem& target) = 0;
    virtual PendingCommand startDelete(const FileItem& item) = 0;
    virtual bool finish(const PendingCommand& pending) = 0;
    // A finished command that Stop dropped before any worker took it up: it never began, so it is
    // recorded no more than the commands the run did not come to.
    virtual bool dropped(const PendingCommand& pending) const = 0;
};

} // namespace velmora
