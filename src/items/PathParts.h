#pragma once

#include "items/FileItem.h"

#include <string_view>

namespace velmora {

// A path text split into views of that same text, so that a test against a path text needs no
// temporary item and no allocation.
struct PathParts {
    std::string_view folder;
    std::string_view name;
    ItemKind kind = kFolder; // only meaningful when the text was not empty
    bool forwardSlash = false;
    bool empty = true; // the text was empty: kind is to be left as it was
};

PathParts splitPath(std::string_view text, PathStyle style);

} // namespace velmora
