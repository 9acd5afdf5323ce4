#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::test {

// The built velmora-cli run as a child process, stdin from /dev/null, stdout and stderr in
// files of the test's folder, the settings under dir/config (so that no test reads the user's
// own).
class CliChild {
public:
    // Starts the program. A `fileSizeLimit` >= 0 caps every file it writes (RLIMIT_FSIZE) with
    // SIGXFSZ ignored, so that a write past the limit fails with EFBIG after part of it landed.
    CliChild(TempDir& dir, std::vector<std::string> args, long fileSizeLimit = -1);
    ~CliChild();
    CliChild(const CliChild&) = delete;
    CliChild& operator=(const CliChild&) = delete;

    // Waits for the end: the exit status, or minus the signal that ended it.
    int wait();
    // Whether it has ended (then wait() returns at once).
    bool ended();
    void kill(int signal);
    pid_t pid() const { return pid_; }
    // Whether it has a file open in `folder` that has no name (yet): a copy under way.
    bool writesUnnamedFileIn(const std::string& folder) const;
    // Waits, looking every 0.1 ms, until such a copy is under way; false when the program ended
    // first or none was seen within `millis`.
    bool waitForCopyIn(const std::string& folder, int millis);

    std::string out() const { return TempDir::readFile(outPath_); }
    std::string err() const { return TempDir::readFile(errPath_); }

private:
    std::string outPath_;
    std::string errPath_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
};

} // namespace velmora::test
