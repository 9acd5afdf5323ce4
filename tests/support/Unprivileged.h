#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace velmora::test {

// What came back from a body run as an unprivileged user.
struct UnprivilegedResult {
    bool ran = false;    // the child dropped root and the body returned
    int value = 0;       // the body's return value
    std::string problem; // why it did not run, when it did not
};

// Runs `body` in a forked child that has dropped root for good (supplementary groups, group, user)
// to `uid`/`gid`, nobody by default, and hands back what the body returned. The body must not use
// GoogleTest assertions (they would report in the child): return a value and check it here.
// Folders the body must reach need to be open to that user (TempDir::openToEveryone).
UnprivilegedResult runUnprivileged(const std::function<int()>& body, uid_t uid = 65534, gid_t gid = 65534);

// Only root can drop to another user.
inline bool canDropPrivileges() {
    return ::geteuid() == 0;
}

} // namespace velmora::test

// Skips the current test unless it can run a part as an unprivileged user.
#define VELMORA_SKIP_UNLESS_ROOT()                                                                           \
    do {                                                                                                     \
        if (!::velmora::test::canDropPrivileges())                                                           \
            GTEST_SKIP() << "needs root, to run a part as an unprivileged user";                             \
    } while (false)
