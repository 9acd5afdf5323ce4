#pragma once

#include "engine/SyncOptions.h"
#include "items/FileItem.h"

namespace velmora {

// Whether the source file of a matched pair is to overwrite the target file. On size: the sizes
// differ. On time: the source is later than the target's time shifted by the adjust hours and
// minutes by more than the required difference; a target that is newer or equal is never
// overwritten. Instants (seconds since the epoch) are compared when both items carry one; items
// with only packed local values compare those (the days the shift carries move the date).
bool sourceDiffers(const FileItem& source, const FileItem& target, const SyncOptions& options);

} // namespace velmora
