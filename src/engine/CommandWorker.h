#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace velmora {

// Polls `ready` for a short while before the caller blocks on a condition variable: a small
// file's command ends within tens of microseconds, and a thread put to sleep and woken again
// costs more than that on these machines.
template <typename Ready>
bool pollBriefly(Ready&& ready) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    do {
        if (ready())
            return true;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

struct FileCommand;
namespace platform {
class FileSystem;
}

// A detached thread that carries out file commands one after another, so that a run does not
// pay for a new thread per file. A worker whose command was abandoned is retired: it ends
// after that command and the next command gets a fresh worker, so a hung call never holds up
// (or reports into) a later command.
class CommandWorker {
public:
    // Starts the thread; throws std::system_error when it cannot. `running` counts the commands
    // inside the file system and may outlive every other owner.
    static std::shared_ptr<CommandWorker> start(platform::FileSystem& fileSystem,
                                                std::shared_ptr<std::atomic<int>> running);

    void hand(std::shared_ptr<FileCommand> command);
    // The thread ends after its current command, or at once when idle.
    void retire();

private:
    CommandWorker(platform::FileSystem& fileSystem, std::shared_ptr<std::atomic<int>> running)
        : fs_(fileSystem), running_(std::move(running)) {}
    static void loop(std::shared_ptr<CommandWorker> self);

    platform::FileSystem& fs_;
    std::shared_ptr<std::atomic<int>> running_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<FileCommand> next_;
    std::atomic<bool> hasNext_{false}; // next_ is set; read without the lock while polling
    bool retired_ = false;
};

} // namespace velmora
