#pragma once

#include <string>
#include <string_view>

namespace velmora::platform {

// Replaces the file at `path` with `contents`: the bytes go to a temporary sibling
// ".NAME.velmora-XXXXXX", are flushed to the disk, and the sibling is renamed over the old file.
// A crash, a full disk or a refused write therefore never leaves a truncated or half-written
// file: on failure the old file (if any) is untouched and the temporary file is removed.
// An existing file keeps its permission bits; a new one gets 0666 under the umask. A symbolic
// link stays in place and the file it points to is replaced.
// Returns 0 or the errno of the failure.
int writeFileAtomically(const std::string& path, std::string_view contents);

// Reads a whole regular file into `out`. Returns 0 or the errno of the failure (EISDIR for a
// folder, so that a folder is never taken for an empty file).
int readWholeFile(const std::string& path, std::string& out);

// Creates every missing folder of `path` (mkdir -p). Returns 0 or the errno of the failure.
int createFolders(const std::string& path);

} // namespace velmora::platform
