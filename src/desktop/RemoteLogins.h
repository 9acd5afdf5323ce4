#pragma once

#include "remote/RoutingFileSystem.h"

#include <functional>
#include <string>

class QWidget;

namespace velmora::desktop {

// Opens the remote locations of a run for the window: a new host key's fingerprint and a password
// are asked in dialogs over `parent`. A password is never shown; it is kept only in the desktop
// keyring, and only when the user ticks Remember; a remembered one is tried before asking, and
// forgotten when the server refuses it.
std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent);

} // namespace velmora::desktop
