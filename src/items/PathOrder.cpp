#include "items/PathOrder.h"

#include "items/PathCompare.h"

namespace velmora {

int comparePaths(std::string_view a, std::string_view b) {
    return compareJoinedPaths(a, {}, b, {});
}

int comparePaths(const FileItem& a, const FileItem& b) {
    return compareJoinedPaths(a.folder, a.name, b.folder, b.name);
}

} // namespace velmora
