#include "engine/CommandWorker.h"

#include "engine/FileCommand.h"
#include "platform/Futex.h"

#include <thread>

namespace velmora {

namespace {

std::atomic<int> commandsInside{0};

} // namespace

int CommandWorker::insideProcess() {
    return commandsInside.load();
}

std::shared_ptr<CommandWorker> CommandWorker::start(platform::FileSystem& fileSystem,
                                                    std::shared_ptr<std::atomic<int>> running) {
    std::shared_ptr<CommandWorker> worker(new CommandWorker(fileSystem, std::move(running)));
    std::thread(loop, worker).detach();
    return worker;
}

void CommandWorker::hand(std::shared_ptr<FileCommand> command) {
    ++*running_;
    ++commandsInside;
    {
        std::lock_guard lock(mutex_);
        next_ = std::move(command);
    }
    signal();
}

void CommandWorker::retire() {
    {
        std::lock_guard lock(mutex_);
        retired_ = true;
    }
    signal();
}

// Both sides use sequentially consistent order on handed_ and sleeping_: either the worker sees
// the new count before it sleeps, or this side sees it asleep and wakes it.
void CommandWorker::signal() {
    handed_.fetch_add(1);
    if (sleeping_.load())
        platform::futexWakeAll(handed_);
}

void CommandWorker::loop(std::shared_ptr<CommandWorker> self) {
    std::uint32_t seen = 0;
    for (;;) {
        const std::uint32_t handed = self->handed_.load();
        if (handed == seen) {
            self->sleeping_ = true;
            if (self->handed_.load() == seen)
                platform::futexWait(self->handed_, seen, -1);
            self->sleeping_ = false;
            continue;
        }
        seen = handed;
        std::shared_ptr<FileCommand> command;
        {
            std::lock_guard lock(self->mutex_);
            if (!self->next_) {
                if (self->retired_)
                    return;
                continue;
            }
            command = std::move(self->next_);
        }
        // The waiting side reads this when it checks the timeout; no wake-up is needed.
        command->gate.progressed();
        const int error = carryOut(self->fs_, *command);
        command->errorNumber = error;
        command->result = error == 0;
        command->finished = 1;
        if (command->waiting)
            platform::futexWakeAll(command->finished);
        --*self->running_;
        --commandsInside;
        std::lock_guard lock(self->mutex_);
        if (self->retired_)
            return;
    }
}

} // namespace velmora
