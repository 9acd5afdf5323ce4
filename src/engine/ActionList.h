#pragma once

#include "engine/ItemCollections.h"

namespace velmora {

// The actions an analysis planned, in the order the execution carries them out.
struct ActionList {
    ItemMap filesToOverwrite; // source file -> existing target file
    ItemMap filesToAdd;       // source file -> new target item
    ItemMap foldersToAdd;     // source folder -> new target folder item
    ItemSet filesToDelete;    // target files
    ItemSet foldersToDelete;  // target folders

    void clear() {
        filesToOverwrite.clear();
        filesToAdd.clear();
        foldersToAdd.clear();
        filesToDelete.clear();
        foldersToDelete.clear();
    }
    bool empty() const {
        return filesToOverwrite.empty() && filesToAdd.empty() && foldersToAdd.empty() &&
               filesToDelete.empty() && foldersToDelete.empty();
    }
};

} // namespace velmora
