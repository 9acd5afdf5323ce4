#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A path tidied by its text alone: "." levels and repeated '/' dropped, ".." taking away the
// level before it (kept at the start of a relative path). Links are never resolved. The
// trailing '/' is dropped; "/" stays "/", and a path that tidies to nothing becomes "".
std::string tidyPath(std::string_view path);

// A location as every later comparison must see it, exclusions included: tidied by its text and
// ending in '/' ("/data/x/../t/." is "/data/t/"). An empty text stays empty: a lone "/" would make
// the whole file system a location. A remote location (scheme://...) keeps its text; a share typed
// as \\server\share\folder becomes smb://server/share/folder/.
std::string tidyLocation(std::string_view location);

} // namespace velmora
