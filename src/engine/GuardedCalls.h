#pragma once

#include "engine/FileCommand.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

// Single file-system calls made around the analysis and the execution (the attributes of a
// root or a folder, resolving a location, a letter-case probe), each under the command timeout
// through FileCommands::guarded: on a share that stopped answering they fail with ETIMEDOUT
// (reason "Timed out") instead of holding up the run, or the window, for as long as it is gone.
// Each returns 0, the call's errno, ETIMEDOUT or ECANCELED (Stop).

// Runs `call(result)` on a worker and copies the result out only when it answered in time: an
// abandoned call writes into a result of its own, never into `out`.
template <class Result, class Call>
int guardedResult(FileCommands& commands, Result& out, Call call) {
    auto result = std::make_shared<Result>();
    const int error = commands.guarded([result, call] { return call(*result); });
    if (error == 0)
        out = std::move(*result); // the call has returned: nothing else touches it
    return error;
}

inline int guardedAttributes(FileCommands& commands, platform::FileSystem& fileSystem,
                             const std::string& path, platform::FileAttributes& out) {
    return guardedResult(commands, out, [fs = &fileSystem, path](platform::FileAttributes& attributes) {
        return fs->getAttributes(path, attributes);
    });
}

// The entries of a folder, read whole on a worker.
inline int guardedListing(FileCommands& commands, platform::FileSystem& fileSystem, const std::string& folder,
                          std::vector<platform::DirEntry>& out) {
    return guardedResult(commands, out, [fs = &fileSystem, folder](std::vector<platform::DirEntry>& entries) {
        return fs->listFolder(folder, [&entries](const platform::DirEntry& entry) {
            entries.push_back(entry);
            return true;
        });
    });
}

// Whether a stopped wait, rather than the call, ended it: the caller goes on as after Stop.
inline bool givenUpByStop(int error) {
    return error == ECANCELED;
}

} // namespace velmora
