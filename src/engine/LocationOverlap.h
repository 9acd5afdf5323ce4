#pragma once

#include <string>

namespace velmora {

namespace platform {
class FileSystem;
}

enum class Overlap { None, Same, TargetInsideSource, SourceInsideTarget };

// Whether two locations are the same folder or one lies inside the other, judged on their real
// paths (links resolved), so that neither a link nor a different spelling hides it. A location
// that cannot be resolved (it does not exist) overlaps nothing: the analysis reports it.
Overlap locationOverlap(const std::string& source, const std::string& target);

// The reason line for a problem report ("The target folder is the source folder", ...).
const char* overlapReason(Overlap overlap);

} // namespace velmora
