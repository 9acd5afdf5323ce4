#pragma once

#include "engine/RunSafeguards.h"
#include "items/ParallelCommands.h"
#include "items/ProfileOptions.h"

#include <cstdint>

namespace velmora {

// What a run reads, taken from the profile and the main controls when the run starts.
struct SyncOptions : ProfileOptions {
    std::uint32_t requiredTimeDifference = 120;                // seconds
    std::uint32_t commandTimeout = 300;                        // seconds; 0 = no limit
    std::uint32_t parallelCommands = kDefaultParallelCommands; // file commands in flight, 1 to 32
    RunSafeguards safeguards;
};

} // namespace velmora
