#pragma once

#include "remote/RoutingFileSystem.h"
#include "smb/SmbFileSystem.h"

#include <optional>
#include <string>

namespace velmora::smb {

// Connects the server of a share location (smb://...) to a run's file system, logging in as `how`
// says (its address is taken from the location): "" when connected now, otherwise why not.
std::string openShare(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how);

// An authentication file of the kind smbclient reads: lines "username=", "password=" and
// "domain=" (the user may be written DOMAIN\user). Refused, with the reason in `error`, when it
// cannot be read or when users other than its owner may read it.
std::optional<SmbCredentials> readCredentialsFile(const std::string& path, std::string& error);

} // namespace velmora::smb
