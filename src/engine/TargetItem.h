#pragma once

#include "items/FileItem.h"

#include <string>

namespace velmora {

// The item a source file or folder becomes in a target folder (ending in its separator): a copy
// of the source item with the target folder as its folder part, the target's separator and the
// state "add". On Linux a '\\' belongs to the name, so names are taken as they are.
FileItemPtr makeTargetItem(const FileItem& source, const std::string& targetFolder, bool forwardSlash);

} // namespace velmora
