#pragma once

#include <string>
#include <vector>

namespace velmora::test {

// The environment for a program a test starts: this process's own, except that the program's
// settings live under `configHome` (XDG_CONFIG_HOME) and $VELMORA_SETTINGS is unset, so that no
// test reads or writes the user's settings and a missing file is an ordinary first run.
class ChildEnvironment {
public:
    explicit ChildEnvironment(const std::string& configHome);
    // NAME=VALUE strings for execve or posix_spawn, ending in nullptr; valid while this lives.
    char** get() { return pointers_.data(); }

private:
    std::vector<std::string> entries_;
    std::vector<char*> pointers_;
};

} // namespace velmora::test
