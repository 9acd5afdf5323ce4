#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace velmora {

enum class Overlap { None, Same, TargetInsideSource, SourceInsideTarget };

// A location as the file system knows it.
struct ResolvedLocation {
    std::string real; // its canonical path; empty when it could not be resolved (it does not exist)
    platform::FileIdentity identity;
};

// Whether two locations are the same folder or one lies inside the other, judged on their real
// paths (links resolved) and on the folders they name (a bind mount shows the same folder under
// another path), so that neither a link, a mount nor a different spelling hides it. A location
// that could not be resolved overlaps nothing: the analysis reports it.
Overlap locationOverlap(const ResolvedLocation& source, const ResolvedLocation& target);
// The same for two paths, resolved through `fileSystem` on the calling thread.
Overlap locationOverlap(const std::string& source, const std::string& target,
                        platform::FileSystem& fileSystem = platform::realFileSystem());

// The reason line for a problem report ("The target folder is the source folder", ...).
const char* overlapReason(Overlap overlap);

} // namespace velmora
