#include "engine/LocationOverlap.h"

#include "platform/RealPath.h"

namespace velmora {

namespace {

// Whether `inner` is `outer` itself or a path below it (on a component boundary).
bool within(const std::string& inner, const std::string& outer) {
    if (inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || outer == "/" || inner[outer.size()] == '/';
}

} // namespace

Overlap locationOverlap(const std::string& source, const std::string& target) {
    std::string realSource, realTarget;
    if (platform::realPath(source, realSource) || platform::realPath(target, realTarget))
        return Overlap::None;
    if (realSource == realTarget)
        return Overlap::Same;
    if (within(realTarget, realSource))
        return Overlap::TargetInsideSource;
    if (within(realSource, realTarget))
        return Overlap::SourceInsideTarget;
    return Overlap::None;
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
