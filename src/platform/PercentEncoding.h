#pragma once

#include <string>

namespace velmora::platform {

// A path as URLs and trash info files write it: every byte but the unreserved characters
// (letters, digits, "-._~") and '/' as %XX.
std::string percentEncoded(const std::string& path);

} // namespace velmora::platform
