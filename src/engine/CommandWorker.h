#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace velmora {

struct FileCommand;
namespace platform {
class FileSystem;
}

// A detached thread that carries out file commands one after another, so that a run does not
// pay for a new thread per file. It sleeps on a futex between commands rather than
// spinning: the other programs of a busy machine share the processors with a run, and a spinning
// thread there keeps the very thread it waits for off the processor (measured: spinning 200 µs per
// hand-off made a copy of 20,000 small files 2-5 times slower than sleeping). A worker whose command was
// abandoned is retired: it ends after that command and the next command gets a fresh worker, so a hung call
// never holds up (or reports into) a later command.
class CommandWorker {
public:
    // Starts the thread; throws std::system_error when it cannot. `running` counts the commands
    // inside the file system and may outlive every other owner.
    static std::shared_ptr<CommandWorker> start(platform::FileSystem& fileSystem,
                                                std::shared_ptr<std::atomic<int>> running);

    void hand(std::shared_ptr<FileCommand> command);
    // The thread ends after its current command, or at once when idle.
    void retire();
    // Commands of the whole process inside the file system, abandoned ones included.
    static int insideProcess();

private:
    CommandWorker(platform::FileSystem& fileSystem, std::shared_ptr<std::atomic<int>> running)
        : fs_(fileSystem), running_(std::move(running)) {}
    static void loop(std::shared_ptr<CommandWorker> self);
    void signal();

    platform::FileSystem& fs_;
    std::shared_ptr<std::atomic<int>> running_;
    std::mutex mutex_; // guards next_ and retired_
    std::shared_ptr<FileCommand> next_;
    bool retired_ = false;
    std::atomic<std::uint32_t> handed_{0}; // counts hand() and retire(); the worker sleeps on it
    std::atomic<bool> sleeping_{false};    // the worker may be asleep on handed_
};

} // namespace velmora
