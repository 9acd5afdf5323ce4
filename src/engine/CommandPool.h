#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace velmora {

struct FileCommand;
namespace platform {
class FileSystem;
}

// Detached threads that take file commands from one queue, in the order they were handed, so that a
// run pays neither for a new thread per file nor for waking a thread per file.
//
// A worker that finds the queue empty sleeps on a futex rather than spinning: the other programs of
// a busy machine share the processors with a run, and a spinning thread there keeps the very thread
// it waits for off the processor (measured: spinning 200 µs per hand-off made a copy of 20,000 small
// files 2-5 times slower than sleeping). While the commands end quickly (a local disk), a worker
// that is awake takes the next command without being woken, so one worker streams through a folder
// of small files and the waiting side is not woken per file either. While they take long (a network
// share, big files), every command handed wakes another worker, up to the limit, so that that many
// round trips overlap.
//
// A worker whose command is given up is retired: it ends after that command and takes no other, so
// a hung call never holds up, or reports into, a later command; the pool starts another in its place.
class CommandPool {
public:
    // `running` counts the commands inside the file system and may outlive every other owner.
    CommandPool(platform::FileSystem& fileSystem, std::shared_ptr<std::atomic<int>> running);
    // Workers end after their current command; those still queued are never carried out.
    ~CommandPool();
    CommandPool(const CommandPool&) = delete;
    CommandPool& operator=(const CommandPool&) = delete;

    // Queues the command and, when the workers awake cannot be counted on to come to it soon,
    // wakes or starts one (at most `limit` workers). Returns 0, or the errno of a worker that
    // could not be started when there is none to take the command (then it is not queued).
    int hand(const std::shared_ptr<FileCommand>& command, unsigned limit);
    // Called while waiting: commands still queued get one more worker (woken or started) when
    // the limit allows. A worker stuck in a call that did not look slow is caught up this way.
    void handMore(unsigned limit);
    // Takes a given-up command out of the queue (true: no worker ever saw it), or retires the
    // worker carrying it out.
    bool giveUp(const FileCommand& command);
    // Whether the last command ended quickly enough that one worker can stream through the queue.
    bool commandsAreQuick() const;

    // Commands of the whole process inside the file system, abandoned ones included.
    static int insideProcess();

private:
    struct Shared;
    struct Worker;
    // Both with the queue's lock held.
    int startWorker();
    int wakeOrStart(std::unique_lock<std::mutex>& lock, unsigned limit);
    static void loop(std::shared_ptr<Shared> shared, std::shared_ptr<Worker> self);

    std::shared_ptr<Shared> shared_;
};

} // namespace velmora
