#pragma once

#include "platform/Mounts.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The network file systems mounted on this machine, grouped server, then share; each share leads
// to its mount point.
struct NetworkShare {
    std::string name;
    std::string mountPoint;
};

struct NetworkServer {
    std::string name;
    std::vector<NetworkShare> shares;
};

struct ServerAndShare {
    std::string server;
    std::string share;
};

// From a mount's source: "//server/share" (cifs, smb3), "server:/export" (nfs),
// "user@host:/folder" (sshfs). False for a source of none of these forms.
bool serverAndShareOfSource(std::string_view source, ServerAndShare& out);
// From the name of a GVfs mount folder: "smb-share:server=nas,share=media", "sftp:host=h,user=u".
bool serverAndShareOfGvfsName(std::string_view name, ServerAndShare& out);

// Groups the network volumes (others are ignored) and the GVfs mount folders (full paths) by
// server, servers and shares in the order first met. What cannot be read as server and share is
// left out.
std::vector<NetworkServer> groupNetworkPlaces(const std::vector<platform::Volume>& volumes,
                                              const std::vector<std::string>& gvfsFolders);

} // namespace velmora
