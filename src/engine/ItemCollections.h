#pragma once

#include "items/FileItem.h"
#include "items/PathOrder.h"

#include <map>
#include <set>

namespace velmora {

// Orders item handles by the path ordering. The file systems we run on tell names apart by
// their bytes, so two paths that differ only in letter case are two files: they are ordered
// next to each other and both kept, where the path ordering alone would drop the second.
struct ItemPathLess {
    bool operator()(const FileItemPtr& a, const FileItemPtr& b) const {
        if (const int order = comparePaths(*a, *b))
            return order < 0;
        if (const int folder = a->folder.compare(b->folder))
            return folder < 0;
        return a->name < b->name;
    }
};

// Collections of item handles keyed by path: a second item with the same full path is not
// inserted.
using ItemSet = std::set<FileItemPtr, ItemPathLess>;
using ItemMap = std::map<FileItemPtr, FileItemPtr, ItemPathLess>; // source item -> target item

} // namespace velmora
