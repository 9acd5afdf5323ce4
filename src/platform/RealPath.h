#pragma once

#include <string>

namespace velmora::platform {

// The canonical absolute path of an existing file or folder, with every symbolic link, "."
// and ".." resolved (no trailing '/', except for "/" itself). Returns 0 or errno.
int realPath(const std::string& path, std::string& resolved);

} // namespace velmora::platform
