#pragma once

#include "remote/RoutingFileSystem.h"

#include <functional>
#include <string>

class QWidget;

namespace velmora::desktop {

// Opens the remote locations of a run for the window: a new host key's fingerprint and a password
// are asked in dialogs over `parent`; the password is never shown and never stored.
std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent);

} // namespace velmora::desktop
