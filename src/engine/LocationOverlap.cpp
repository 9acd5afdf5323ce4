#include "engine/LocationOverlap.h"

namespace velmora {

namespace {

// Whether `inner` is `outer` itself or a path below it (on a component boundary).
bool within(const std::string& inner, const std::string& outer) {
    if (inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || outer == "/" || inner[outer.size()] == '/';
}

} // namespace

Overlap locationOverlap(const ResolvedLocation& source, const ResolvedLocation& target) {
    if (source.real.empty() || target.real.empty())
        return Overlap::None;
    if (source.real == target.real || (source.identity.known() && source.identity == target.identity))
        return Overlap::Same;
    if (within(target.real, source.real))
        return Overlap::TargetInsideSource;
    if (within(source.real, target.real))
        return Overlap::SourceInsideTarget;
    return Overlap::None;
}

Overlap locationOverlap(const std::string& source, const std::string& target,
                        platform::FileSystem& fileSystem) {
    ResolvedLocation resolved[2];
    if (fileSystem.resolveLocation(source, resolved[0].real, resolved[0].identity) ||
        fileSystem.resolveLocation(target, resolved[1].real, resolved[1].identity))
        return Overlap::None;
    return locationOverlap(resolved[0], resolved[1]);
}

const char* overlapReason(Overlap overlap) {
    switch (overlap) {
    case Overlap::Same:
        return "The source and the target are the same folder";
    case Overlap::TargetInsideSource:
        return "The target folder is inside the source folder";
    case Overlap::SourceInsideTarget:
        return "The source folder is inside the target folder";
    case Overlap::None:
        break;
    }
    return "";
}

} // namespace velmora
