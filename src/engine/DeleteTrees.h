#pragma once

#include "engine/RunContext.h"
#include "engine/RunSafeguards.h"

namespace velmora {

// Lists what every folder to delete holds, every level (excluded folders are not entered), into
// the action list's seenInFoldersToDelete, through the target access under the command timeout.
// A folder that cannot be listed is recorded with its reason. Stop ends the listing early; the run
// then does not use it.
void listFoldersToDelete(RunContext& run);

// Counts what the plan would remove from the target: its files and folders to delete and what was
// seen in those folders, excluded entries (and their content) left out. The tally is incomplete
// when a folder could not be listed, and names the first.
DeleteTally countPlannedDeletes(const RunContext& run);

} // namespace velmora
