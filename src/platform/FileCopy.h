#pragma once

#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/LocationRoots.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>

// The pieces of a file copy, kept apart from PosixFileSystem so that each can be tried on its own.
namespace velmora::platform {

class CommandGate;
struct SeenTarget;

// Copies `size` bytes from the current offset of `from` to the current offset of `to`, stopping
// early at end of file. With `inKernel` it uses copy_file_range and falls back to a read/write
// loop when the kernel refuses; without it it uses the loop only. Before each chunk it answers
// ECANCELED when the gate has been given up; after each it reports progress. Returns 0 or an errno value.
int copyBytes(int from, int to, std::uint64_t size, CommandGate* gate, bool inKernel = true);

// A fresh name ".NAME.velmora-XXXXXX" in the target's folder. NAME is shortened (on a UTF-8
// character boundary) when the whole would pass the 255-byte limit of a file name.
std::string temporarySibling(const std::string& target);

// Whether a file name is one temporarySibling (or the settings' atomic writer) makes.
bool isTemporaryName(std::string_view name);

// The mark a copy puts on its temporary file (an extended attribute) while it has a temporary name,
// so that a leftover of a killed run can be told from a user's file that merely has such a name. A
// file system without extended attributes keeps no mark: its leftovers are ordinary files then.
void markTemporary(int fd);
void unmarkTemporary(int fd);
// Whether `name` in `folder` is a regular file with a temporary name and the mark.
bool isMarkedTemporary(int folder, const std::string& name);

// renameat that refuses with EEXIST when `target` exists, also on file systems without
// RENAME_NOREPLACE (where it checks first).
int renameNoReplace(int sourceFolder, const std::string& source, int targetFolder, const std::string& target);

// The whole copy of a file or link, written unnamed and named only when complete; see
// FileSystem::copyFile. A source that changes during the copy is copied once more; when it
// changes again the answer is kChangedWhileCopied and the old target stays.
// With `seen` the target must still be what the run saw: a free name is never replaced, and an
// existing target that changed since is left alone (kChangedAfterAnalysis).
int copyThroughTemporary(const Place& source, const Place& target, bool failIfExists, CommandGate* gate,
                         bool allowReadOnly = false, const SeenTarget* seen = nullptr);

// The halves of a copy between kinds of location (see FileSystem::readFile and writeFile).
int readThroughSink(const Place& source, FileStamp& stamp, const ByteSink& sink, CommandGate* gate);
int writeThroughTemporary(const Place& target, const ByteFill& fill, bool failIfExists, CommandGate* gate,
                          bool allowReadOnly = false, const SeenTarget* seen = nullptr);

// Whether a file found by lstat is still the one a run saw: a present non-folder of the same size
// and whole-second modification time.
bool stillAsSeen(const struct stat& info, const SeenTarget& seen);

} // namespace velmora::platform
