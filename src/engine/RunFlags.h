#pragma once

#include <atomic>
#include <cstdint>

namespace velmora {

// The flags of the one run a process has at a time.
struct RunFlags {
    // Set by Stop (also from a signal handler or another thread), by Cancel in a delete
    // confirmation; read by every loop of the engine and by the command wait.
    std::atomic<bool> stopRequest{false};
    std::int32_t runningState = 0; // 0 idle, 1 Location 1 to 2, 2 Location 2 to 1
    bool interruptedRun = false;

    // Yes To All / No To All answers, kept apart for files and folders.
    bool yesToAllFiles = false;
    bool noToAllFiles = false;
    bool yesToAllFolders = false;
    bool noToAllFolders = false;

    void clearConfirmations() { yesToAllFiles = noToAllFiles = yesToAllFolders = noToAllFolders = false; }
};

} // namespace velmora
