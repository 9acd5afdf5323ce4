#pragma once

#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

#include <string>

namespace velmora::platform {

// Opens a run log for writing: created when missing (0666 under the umask), appended to or
// emptied. It never waits: anything but a regular file in its place (a FIFO, a device) is
// refused with kNotRegularFile. Answers 0 or the reason, and on success which file it is.
int openLogFile(const std::string& path, bool append, FileHandle& out, FileIdentity& identity);

} // namespace velmora::platform
