#pragma once

#include <atomic>
#include <cstdint>

namespace velmora {

// Whether a run is going, and in which direction.
enum class RunningState : std::int32_t { Idle = 0, OneToTwo = 1, TwoToOne = 2 };

// What ended a run early, so that its log and report can say so.
enum class StopCause : std::int32_t { StopButton, Cancel, Interrupt, Terminate, Hangup };

// What a stop signal (SIGINT, SIGTERM, SIGHUP) stops a run as; StopButton for any other number.
StopCause stopCauseOfSignal(int signal);

// The flags of the one run a process has at a time.
struct RunFlags {
    // Set by Stop (also from a signal handler or another thread), by Cancel in a delete
    // confirmation; read by every loop of the engine and by the command wait.
    std::atomic<bool> stopRequest{false};
    // Why the stop request was set; the first cause of a run is kept.
    std::atomic<StopCause> stopCause{StopCause::StopButton};
    RunningState runningState = RunningState::Idle;
    bool interruptedRun = false;

    // Yes To All / No To All answers, kept apart for files and folders.
    bool yesToAllFiles = false;
    bool noToAllFiles = false;
    bool yesToAllFolders = false;
    bool noToAllFolders = false;

    // Raises the stop request, keeping the cause of an earlier one.
    void requestStop(StopCause cause) {
        if (!stopRequest.load())
            stopCause.store(cause);
        stopRequest.store(true);
    }

    void clearConfirmations() { yesToAllFiles = noToAllFiles = yesToAllFolders = noToAllFolders = false; }
};

} // namespace velmora
