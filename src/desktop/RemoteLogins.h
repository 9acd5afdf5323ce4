#pragma once

#include "app/RemotePlaces.h"
#include "remote/RoutingFileSystem.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace velmora::desktop {

// Opens the remote locations of a run for the window: a new host key's fingerprint and a password
// are asked in dialogs over `parent`. A password is never shown; it is kept only in the desktop
// keyring, and only when the user ticks Remember; a remembered one is tried before asking, and
// forgotten when the server refuses it. For browsing, a share location may stop at its server
// ("smb://nas/"), whose shares are then listed, and a share may want a login of its own.
std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent, bool browsing = false);
// The shares of a connected SMB server, for the folder tree's Network node.
std::function<int(const std::string&, std::vector<RemoteShare>&)>
remoteShareLister(remote::RoutingFileSystem& fileSystem);

} // namespace velmora::desktop
