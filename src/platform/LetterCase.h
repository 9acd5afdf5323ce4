#pragma once

#include <cstdint>
#include <string_view>

namespace velmora::platform {

// How a kind of file system (statfs f_type) matches names: by their bytes, with letter case
// ignored, or either way as each folder's flags (the casefold attribute) or the mount say.
enum class CaseRule { Exact, Folded, PerFolder, ByMountOptions };

CaseRule caseRuleOf(std::uint64_t fsType);

// Whether a mount's own options (mountinfo's last field) ask for names with case ignored.
bool mountOptionsFoldCase(std::string_view options);

// Whether the open folder matches names with letter case ignored. When that cannot be found
// out: true, the answer under which two names are never taken for two files when they are one.
bool folderFoldsCase(int folder);

} // namespace velmora::platform
