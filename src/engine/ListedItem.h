#pragma once

#include "items/FileItem.h"
#include "platform/FileSystem.h"

#include <string>

namespace velmora {

// The item of one listed entry of `folder` (which ends in '/'), as every listing of a local
// folder builds it: the run's analysis and the browsing controls alike.
FileItemPtr listedItem(const std::string& folder, const platform::DirEntry& entry);

} // namespace velmora
