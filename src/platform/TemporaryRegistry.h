#pragma once

#include <string>

namespace velmora::platform {

// The temporary names of copies under way, so that a program ended at once by a second stop
// signal can still remove what it made (best effort: a copy written unnamed needs nothing, and a
// next run removes marked leftovers). Registering and releasing are thread-safe and lock-free.
class TemporaryName {
public:
    // `name` in the folder `folderFd` (AT_FDCWD with a full path) has just been made.
    TemporaryName(int folderFd, const std::string& name);
    ~TemporaryName() { release(); }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    // The name is gone or renamed into place: nothing to remove any more.
    void release();

private:
    int slot_ = -1;
};

// Removes every registered temporary name. Async-signal-safe: only atomic loads and unlinkat.
void removeRegisteredTemporaries();

} // namespace velmora::platform
