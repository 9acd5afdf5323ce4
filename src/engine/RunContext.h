#pragma once

#include "engine/ActionList.h"
#include "engine/FileCommand.h"
#include "engine/FrontEndPort.h"
#include "engine/LocationAccess.h"
#include "engine/RunFlags.h"
#include "engine/SyncOptions.h"
#include "engine/SyncResults.h"
#include "items/ExclusionSet.h"
#include "platform/FileSystem.h"

namespace velmora {

// What one run works on. The caller (the controller) owns all of it and keeps it alive for the
// run; the results and the actions keep their content after the run for the report and lists.
// The source and target accesses must add copied bytes to results.workDone.
struct RunContext {
    LocationAccess& source;
    LocationAccess& target;
    FileCommands& commands;
    platform::FileSystem& fileSystem; // attribute reads
    FrontEndPort& frontEnd;
    RunFlags& flags;
    const SyncOptions& options;
    const ExclusionSet& exclusions;
    SyncResults& results;
    ActionList& actions;

    bool stopRequested() const { return flags.stopRequest.load(); }
};

} // namespace velmora
