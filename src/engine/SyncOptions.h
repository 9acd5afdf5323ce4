#pragma once

#include "engine/RunSafeguards.h"
#include "profiles/ParallelCommands.h"

#include <cstdint>
#include <string>

namespace velmora {

// What a run reads, taken from the profile and the main controls when the run starts.
struct SyncOptions {
    bool addMissing = true;
    bool deleteMissing = true;
    bool confirmDeletes = false;
    bool checkSubFolders = true;
    bool checkActions = true;
    bool overwriteReadOnly = false;
    bool copyAttributes = false;
    bool compareOnTime = true;
    std::int32_t adjustHours = 0;
    std::int32_t adjustMinutes = 0;
    std::uint32_t requiredTimeDifference = 120;                // seconds
    std::uint32_t commandTimeout = 300;                        // seconds; 0 = no limit
    std::uint32_t parallelCommands = kDefaultParallelCommands; // file commands in flight, 1 to 32
    bool silentMode = false;
    bool exitOnCompletion = false;
    bool logOn = false;
    bool logAppend = false;
    std::string logPath;
    std::int32_t autoStart = 0; // 0 off, 1 Location 1 to 2, 2 Location 2 to 1
    RunSafeguards safeguards;
};

} // namespace velmora
