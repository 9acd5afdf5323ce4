#pragma once

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace velmora::cli::test {

// What one run of the built velmora-cli gave back.
struct CliResult {
    int status = -1; // the exit status, or minus the signal that ended it
    std::string out;
    std::string err;
};

// Runs the built program with `args`, stdin from `input` (not a terminal), stdout and stderr
// captured in files under `dir`. Unless the arguments name one, the settings file is the usual
// one under dir/config (see ChildEnvironment), so that no test reads or writes the user's own. A
// non-empty `workingFolder` is the program's current folder.
CliResult runCli(velmora::test::TempDir& dir, std::vector<std::string> args, const std::string& input = "",
                 const std::string& workingFolder = "");

} // namespace velmora::cli::test
