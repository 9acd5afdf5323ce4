#pragma once

#include "items/ExclusionSet.h"
#include "items/FileItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

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
    // Pumps the front end between entries and stops early on the stop request.
    virtual bool listFolder(const std::string& folderPath, std::vector<FileItemPtr>& items) = 0;
    // The listing split into files and folders, each sorted by name (ASCII case ignored).
    virtual bool readFolder(const std::string& folderPath, std::vector<FileItemPtr>& files,
                            std::vector<FileItemPtr>& folders) = 0;
    virtual bool isAvailable() const = 0;
    virtual bool isExcludedByFirst(const FileItem& item) const = 0;
    virtual bool isExcludedBySecond(const FileItem& item) const = 0;
    virtual bool usesForwardSlashes() const = 0;
    // Adds the source's size to the work done, then copies under the command timeout.
    virtual bool copyFile(const FileItem& source, const FileItem& target) = 0;
    virtual bool deleteFile(const FileItem& item) = 0;
    virtual bool createFolder(const FileItem& item, std::int64_t attributes) = 0;
};

} // namespace velmora
