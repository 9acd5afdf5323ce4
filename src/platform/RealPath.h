#pragma once

#include <string>

namespace velmora::platform {

// The canonical absolute path of an existing file or folder, with every symbolic link, "."
// and ".." resolved (no trailing '/', except for "/" itself). Returns 0 or errno.
int realPath(const std::string& path, std::string& resolved);

struct FileIdentity;
// The device and inode of what `path` names, links followed. Returns 0 or errno.
int identityOfPath(const std::string& path, FileIdentity& identity);

} // namespace velmora::platform
