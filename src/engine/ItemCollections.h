#pragma once

#include "items/FileItem.h"
#include "items/PathOrder.h"

#include <map>
#include <set>

namespace velmora {

// Collections of item handles keyed by the path ordering: a second item with an equal full
// path is not inserted.
using ItemSet = std::set<FileItemPtr, PathLess>;
using ItemMap = std::map<FileItemPtr, FileItemPtr, PathLess>; // source item -> target item

} // namespace velmora
