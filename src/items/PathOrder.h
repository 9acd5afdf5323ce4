#pragma once

#include "items/FileItem.h"

#include <string_view>

namespace velmora {

// The path ordering: bytes compared as signed chars after mapping ASCII a-z to A-Z, the end of
// a path counting as a zero byte. Returns <0, 0 or >0. Works on the two parts in place.
int comparePaths(std::string_view a, std::string_view b);
int comparePaths(const FileItem& a, const FileItem& b);
// Names only, under the same rule (used to sort listings).
inline int compareNames(std::string_view a, std::string_view b) {
    return comparePaths(a, b);
}

// Orders item handles by full path under the path ordering; for sets and maps of handles.
struct PathLess {
    using is_transparent = void;
    bool operator()(const FileItemPtr& a, const FileItemPtr& b) const { return comparePaths(*a, *b) < 0; }
};

} // namespace velmora
