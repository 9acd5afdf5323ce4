#include "platform/Environment.h"

#include <cstdlib>

namespace velmora::platform {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace velmora::platform
