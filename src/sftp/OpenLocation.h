#pragma once

#include "remote/RoutingFileSystem.h"
#include "sftp/SftpFileSystem.h"

#include <string>

namespace velmora::sftp {

// Connects the server of a remote location to a run's file system, logging in as `how` says (its
// address is taken from the location). "" when the location is local or its server is connected
// now; otherwise why it cannot be reached.
std::string openLocation(remote::RoutingFileSystem& fileSystem, const std::string& location, SftpLogin how);

} // namespace velmora::sftp
