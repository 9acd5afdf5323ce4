#include "engine/CommandWorker.h"

#include "engine/FileCommand.h"
#include "platform/Clock.h"

#include <thread>

namespace velmora {

std::shared_ptr<CommandWorker> CommandWorker::start(platform::FileSystem& fileSystem,
                                                    std::shared_ptr<std::atomic<int>> running) {
    std::shared_ptr<CommandWorker> worker(new CommandWorker(fileSystem, std::move(running)));
    std::thread(loop, worker).detach();
    return worker;
}

void CommandWorker::hand(std::shared_ptr<FileCommand> command) {
    ++*running_;
    {
        std::lock_guard lock(mutex_);
        next_ = std::move(command);
        hasNext_ = true;
    }
    wake_.notify_one();
}

void CommandWorker::retire() {
    {
        std::lock_guard lock(mutex_);
        retired_ = true;
    }
    wake_.notify_one();
}

void CommandWorker::loop(std::shared_ptr<CommandWorker> self) {
    for (;;) {
        std::shared_ptr<FileCommand> command;
        pollBriefly([&] { return self->hasNext_.load(); });
        {
            std::unique_lock lock(self->mutex_);
            self->wake_.wait(lock, [&] { return self->next_ || self->retired_; });
            if (!self->next_)
                return;
            command = std::move(self->next_);
            self->hasNext_ = false;
        }
        // The waiting side reads this when it checks the timeout; no wake-up is needed.
        command->startedMillis = platform::steadyMillis();
        const int error = carryOut(self->fs_, *command);
        {
            std::lock_guard lock(command->mutex);
            command->errorNumber = error;
            command->result = error == 0;
            command->finished = true;
        }
        command->done.notify_one();
        --*self->running_;
        std::lock_guard lock(self->mutex_);
        if (self->retired_)
            return;
    }
}

} // namespace velmora
