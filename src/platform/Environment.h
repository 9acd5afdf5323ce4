#pragma once

#include <string>

namespace velmora::platform {

// The value of an environment variable; empty when it is not set (an empty value counts the same).
std::string environmentValue(const char* name);

} // namespace velmora::platform
