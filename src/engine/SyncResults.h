#pragma once

#include "engine/ItemCollections.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

struct SyncCounts {
    std::int32_t overwrittenFiles = 0;
    std::int32_t addedFiles = 0;
    std::int32_t addedFolders = 0;
    std::int32_t deletedFiles = 0;
    std::int32_t deletedFolders = 0;
};

// The outcome of a run: counts, what was done and what failed, and the problem lines.
struct SyncResults {
    SyncCounts counts;

    ItemSet overwritten, added, addedFolders, deleted, deletedFolders;
    ItemSet failedOverwritten, failedAdded, failedAddedFolders, failedDeleted, failedDeletedFolders;

    // Two lines per failure: what failed with its path, then the reason.
    std::vector<std::string> problems;
    // Temporary files that interrupted runs of this program had left in the target, removed.
    std::vector<std::string> removedLeftovers;

    std::uint64_t workTotal = 0;
    std::uint64_t workDone = 0;
    std::uint64_t startMillis = 0; // steady clock when execution began

    // What interrupted the run ("Synchronisation interrupted by Ctrl-C"); empty for a run that ended.
    std::string interruption;

    std::string lastSource;
    std::string lastTarget;
    std::string lastHeadline;

    void addProblem(std::string message, std::string reason) {
        problems.push_back(std::move(message));
        problems.push_back(std::move(reason));
    }

    // Clears everything a new run starts without (the last report's paths and headline stay).
    void clearForRun() {
        counts = {};
        for (ItemSet* set :
             {&overwritten, &added, &addedFolders, &deleted, &deletedFolders, &failedOverwritten,
              &failedAdded, &failedAddedFolders, &failedDeleted, &failedDeletedFolders})
            set->clear();
        problems.clear();
        removedLeftovers.clear();
        interruption.clear();
        workTotal = workDone = startMillis = 0;
    }
};

} // namespace velmora
