#pragma once

#include "engine/ItemCollections.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

// What a folder to delete, or a folder inside one, held when the plan was made.
struct SeenFolder {
    bool listed = false;              // false: it could not be listed, for `reason`
    std::vector<FileItemPtr> entries; // as listed, excluded ones too
    std::string reason;
};

// The actions an analysis planned, in the order the execution carries them out.
struct ActionList {
    ItemMap filesToOverwrite; // source file -> existing target file
    ItemMap filesToAdd;       // source file -> new target item
    ItemMap foldersToAdd;     // source folder -> new target folder item
    ItemSet filesToDelete;    // target files
    ItemSet foldersToDelete;  // target folders
    // What the folders to delete held, every level, by each folder's folder form: a folder delete
    // removes only what was seen there.
    std::unordered_map<std::string, SeenFolder> seenInFoldersToDelete;

    void clear() {
        filesToOverwrite.clear();
        filesToAdd.clear();
        foldersToAdd.clear();
        filesToDelete.clear();
        foldersToDelete.clear();
        seenInFoldersToDelete.clear();
    }
    bool empty() const {
        return filesToOverwrite.empty() && filesToAdd.empty() && foldersToAdd.empty() &&
               filesToDelete.empty() && foldersToDelete.empty();
    }
};

} // namespace velmora
