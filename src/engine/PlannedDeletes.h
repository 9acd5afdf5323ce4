#pragma once

#include "engine/RunContext.h"
#include "engine/RunSafeguards.h"

namespace velmora {

// Counts what the run's plan would remove from the target: the files and folders to delete and,
// listed through the target access (under the command timeout), every file and folder inside the
// folders to delete that the execution would remove, excluded ones and their content left out.
// A folder that cannot be listed is counted as one, leaves the tally incomplete and adds two
// problem lines. Stop ends the count early; the caller then does not use it.
DeleteTally countPlannedDeletes(RunContext& run);

} // namespace velmora
