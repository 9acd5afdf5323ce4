#pragma once

#include <cstdint>
#include <string_view>

namespace velmora::platform {

// How a kind of file system (statfs f_type) matches names: by their bytes, with letter case
// ignored, either way as each folder's flags (the casefold attribute) or the mount say, or as
// only a look-up can tell (FUSE: the same kind serves exFAT and NTFS disks and sshfs).
enum class CaseRule { Exact, Folded, PerFolder, ByMountOptions, ByLookUp };

CaseRule caseRuleOf(std::uint64_t fsType);

// Whether a mount's own options (mountinfo's last field) ask for names with case ignored.
bool mountOptionsFoldCase(std::string_view options);

// How the open folder answers a name of its own asked for in other letter case: 1 found (case
// ignored), 0 not found (matched by bytes), -1 when it has no name to ask about or no answer.
int lookUpInOtherCase(int folder);

// Whether the open folder matches names with letter case ignored. When that cannot be found
// out: true, the answer under which two names are never taken for two files when they are one.
bool folderFoldsCase(int folder);

} // namespace velmora::platform
