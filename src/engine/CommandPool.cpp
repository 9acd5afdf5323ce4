#include "engine/CommandPool.h"

#include "engine/FileCommand.h"
#include "platform/Futex.h"
#include "platform/LocationRoots.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace velmora {

namespace {

std::atomic<int> commandsInside{0};

// A command that ends within this did not wait for a round trip: the disk is local and the
// processors are the limit, so more workers awake would only take turns on them.
constexpr auto kQuickCommand = std::chrono::milliseconds(1);

// How long a worker waits for more before it lets go of the folders it keeps open.
constexpr long kIdleBeforeForgettingMicros = 200'000;

// Workers that take quick commands one after another without being woken: one per processor, so
// that the copies of a folder of small files keep every processor busy and no more.
unsigned streaming() {
    static const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    return processors;
}

} // namespace

struct CommandPool::Worker {
    bool retired = false; // guarded by Shared::mutex
};

struct CommandPool::Shared {
    Shared(platform::FileSystem& fileSystem, std::shared_ptr<std::atomic<int>> runningCommands)
        : fs(fileSystem), running(std::move(runningCommands)) {}

    platform::FileSystem& fs;
    std::shared_ptr<std::atomic<int>> running;

    std::mutex mutex; // guards everything below but the atomics
    std::deque<std::shared_ptr<FileCommand>> queued;
    // Commands being carried out, and by whom: a given-up one retires its worker.
    std::vector<std::pair<const FileCommand*, std::shared_ptr<Worker>>> carrying;
    unsigned limit = 1;    // commands carried out at once, as the last caller asked
    unsigned live = 0;     // started and not retired
    unsigned sleeping = 0; // live ones asleep on `handed`, or about to be
    bool closed = false;
    // Changes with every command queued and at closing; the workers sleep on it. Changed only
    // under the mutex, so a worker that read it there before sleeping cannot miss a change.
    std::atomic<std::uint32_t> handed{0};
    // Until a command has ended, nothing is known: every command handed gets a worker of its own.
    std::atomic<bool> quick{false};
};

CommandPool::CommandPool(platform::FileSystem& fileSystem, std::shared_ptr<std::atomic<int>> running)
    : shared_(std::make_shared<Shared>(fileSystem, std::move(running))) {}

CommandPool::~CommandPool() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
        shared_->queued.clear();
        ++shared_->handed;
    }
    platform::futexWakeAll(shared_->handed);
}

int CommandPool::insideProcess() {
    return commandsInside.load();
}

bool CommandPool::commandsAreQuick() const {
    return shared_->quick.load(std::memory_order_relaxed);
}

int CommandPool::startWorker() {
    auto worker = std::make_shared<Worker>();
    try {
        std::thread(loop, shared_, worker).detach();
    } catch (const std::system_error& e) {
        return e.code().value();
    }
    ++shared_->live;
    return 0;
}

int CommandPool::wakeOrStart(std::unique_lock<std::mutex>& lock, unsigned limit) {
    // Workers left from a run with a higher limit sleep on; never more than `limit` are awake.
    if (shared_->live - shared_->sleeping >= limit)
        return 0;
    if (shared_->sleeping > 0) {
        lock.unlock();
        platform::futexWakeOne(shared_->handed);
        return 0;
    }
    if (shared_->live < limit)
        return startWorker();
    return 0;
}

int CommandPool::hand(const std::shared_ptr<FileCommand>& command, unsigned limit) {
    std::unique_lock lock(shared_->mutex);
    shared_->limit = limit;
    shared_->queued.push_back(command);
    ++shared_->handed;
    const unsigned awake = shared_->live - shared_->sleeping;
    const std::size_t queued = shared_->queued.size();
    // Workers awake between two commands take the queued ones in a moment: a run that hands one
    // command at a time (listings) keeps one worker, and one thread's memory.
    const auto busy = std::count_if(shared_->carrying.begin(), shared_->carrying.end(),
                                    [](const auto& carried) { return carried.first->finished.load() == 0; });
    if (awake >= static_cast<std::size_t>(busy) + queued)
        return 0;
    if (awake >= std::min<std::size_t>(streaming(), queued) && shared_->quick.load(std::memory_order_relaxed))
        return 0; // a worker awake comes to it in a moment
    const int error = wakeOrStart(lock, limit);
    if (error == 0 || shared_->live > 0)
        return 0; // another worker takes it
    shared_->queued.pop_back();
    return error;
}

void CommandPool::handMore(unsigned limit) {
    std::unique_lock lock(shared_->mutex);
    shared_->limit = limit;
    if (!shared_->queued.empty())
        wakeOrStart(lock, limit);
}

bool CommandPool::giveUp(const FileCommand& command) {
    std::lock_guard lock(shared_->mutex);
    auto& queued = shared_->queued;
    auto waiting =
        std::find_if(queued.begin(), queued.end(), [&](const auto& c) { return c.get() == &command; });
    if (waiting != queued.end()) {
        queued.erase(waiting);
        return true;
    }
    auto& carrying = shared_->carrying;
    auto carried =
        std::find_if(carrying.begin(), carrying.end(), [&](const auto& c) { return c.first == &command; });
    if (carried == carrying.end())
        return false; // it has just ended
    carried->second->retired = true;
    --shared_->live;
    carrying.erase(carried);
    return false;
}

void CommandPool::loop(std::shared_ptr<Shared> shared, std::shared_ptr<Worker> self) {
    std::shared_ptr<FileCommand> command;
    bool keepsFolders = false;
    std::unique_lock lock(shared->mutex);
    for (;;) {
        if (command) {
            auto& carrying = shared->carrying;
            carrying.erase(std::remove_if(carrying.begin(), carrying.end(),
                                          [&](const auto& c) { return c.first == command.get(); }),
                           carrying.end());
            command.reset();
        }
        if (self->retired)
            return;
        if (shared->closed) {
            --shared->live;
            return;
        }
        // Workers a higher limit started may outnumber a lower one: those beyond it wait.
        if (shared->queued.empty() || shared->carrying.size() >= shared->limit) {
            const std::uint32_t seen = shared->handed.load();
            ++shared->sleeping;
            lock.unlock();
            if (keepsFolders) {
                // An idle pool between runs must not hold a share or a removable disk busy.
                platform::futexWait(shared->handed, seen, kIdleBeforeForgettingMicros);
                if (shared->handed.load() == seen) {
                    platform::forgetRecentFolders();
                    keepsFolders = false;
                }
            } else {
                platform::futexWait(shared->handed, seen, -1);
            }
            lock.lock();
            --shared->sleeping;
            continue;
        }
        command = std::move(shared->queued.front());
        shared->queued.pop_front();
        shared->carrying.emplace_back(command.get(), self);
        ++*shared->running;
        ++commandsInside;
        lock.unlock();

        const auto started = std::chrono::steady_clock::now();
        // The waiting side reads this when it checks the timeout; no wake-up is needed.
        command->gate.progressed();
        const int error = carryOut(shared->fs, *command);
        keepsFolders = true;
        command->errorNumber = error;
        command->result = error == 0;
        command->finished = 1;
        if (command->waiting)
            platform::futexWakeAll(command->finished);
        shared->quick.store(std::chrono::steady_clock::now() - started < kQuickCommand,
                            std::memory_order_relaxed);
        --*shared->running;
        --commandsInside;
        lock.lock();
    }
}

} // namespace velmora
