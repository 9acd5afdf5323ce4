#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A server the folder tree's Network node shows beside the mounted shares: one the user connected
// to or one a recent location names.
struct RemoteServerPlace {
    std::string server;     // the location's server part: "sftp://ann@backup:2222", "smb://nas"
    std::string caption;    // what the tree shows: "ann@backup:2222", "nas"
    bool hasShares = false; // an SMB server opens into its shares, an SFTP one into "/" and the home folder
};

// The servers the locations name, each once, in the order first met; local paths are left out.
std::vector<RemoteServerPlace> remoteServersOf(const std::vector<std::string>& locations);
RemoteServerPlace remoteServerPlace(std::string_view server);

// One share of an SMB server, with the comment its server gives it.
struct RemoteShare {
    std::string name;
    std::string comment;
};

// What "Connect to server..." makes of the typed address: the location to open or, when it cannot
// be used, why. An SFTP server named alone opens at the login's home ("sftp://ann@h/~/"), an SMB
// server at its list of shares ("smb://nas/").
struct ConnectTarget {
    std::string location;
    std::string error;
};
ConnectTarget connectTarget(std::string_view typed);

// A remote folder as the tree walks to it: below the server, the share (SMB) or "/" or "~"
// (SFTP), then the folders.
struct RemoteTreePath {
    std::string server;
    std::string top;
    std::vector<std::string> folders;
};
// False for a local path or an address that cannot be read.
bool remoteTreePath(std::string_view location, RemoteTreePath& out);

} // namespace velmora
