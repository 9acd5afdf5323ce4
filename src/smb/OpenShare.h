#pragma once

#include "remote/RoutingFileSystem.h"
#include "smb/SmbFileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::smb {

// Connects the server of a share location (smb://...) to a run's file system, logging in as `how`
// says (its address is taken from the location): "" when connected now, otherwise why not.
std::string openShare(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how);
// The same for a server to browse: the location may stop at the server ("smb://nas/").
std::string openServer(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how);

// The file shares of a connected server, named by its server part ("smb://nas"): 0 or errno
// (EHOSTUNREACH when it is not connected).
int sharesOfServer(remote::RoutingFileSystem& fileSystem, const std::string& server,
                   std::vector<ShareInfo>& out);

// An authentication file of the kind smbclient reads: lines "username=", "password=" and
// "domain=" (the user may be written DOMAIN\user). Refused, with the reason in `error`, when it
// cannot be read or when users other than its owner may read it.
std::optional<SmbCredentials> readCredentialsFile(const std::string& path, std::string& error);

} // namespace velmora::smb
