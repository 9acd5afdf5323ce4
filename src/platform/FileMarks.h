#pragma once

#include <string>

namespace velmora::platform {

// What the browsing controls colour: compressed items blue, encrypted ones red. Both false when
// the file system does not say (or the path cannot be examined).
struct FileMarks {
    bool compressed = false;
    bool encrypted = false;
};

// From statx's attribute word; links are not followed.
FileMarks fileMarks(const std::string& path);

} // namespace velmora::platform
