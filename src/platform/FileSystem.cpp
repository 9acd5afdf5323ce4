#include "platform/FileSystem.h"

#include <cerrno>

namespace velmora::platform {

// Only file systems that can be one half of a copy between kinds of location answer these.
int FileSystem::readFile(const std::string&, FileStamp&, const ByteSink&, CommandGate*) {
    return ENOTSUP;
}

int FileSystem::writeFile(const std::string&, const ByteFill&, bool, CommandGate*, bool, const SeenTarget*) {
    return ENOTSUP;
}

} // namespace velmora::platform
