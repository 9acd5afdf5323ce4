#pragma once

#include "engine/LocationAccess.h"

#include <deque>
#include <functional>
#include <utility>

namespace velmora {

// Keeps up to `depth` file commands started (carried out or queued for a worker) and records each
// result in the order the commands were started, whatever order they end in: the report, the log
// and the failure sets come out as a one-at-a-time run gives them. A command Stop dropped from the
// queue is not recorded. Whoever depends on earlier commands (a folder removed after its files, the
// next step of the plan, anything recorded directly) drains first.
class CommandPipeline {
public:
    using Record = std::function<void(bool done)>;

    CommandPipeline(LocationAccess& access, unsigned depth)
        : access_(access), depth_(depth < 1 ? 1 : depth) {}
    ~CommandPipeline() { drain(); }
    CommandPipeline(const CommandPipeline&) = delete;
    CommandPipeline& operator=(const CommandPipeline&) = delete;

    void setDepth(unsigned depth) { depth_ = depth < 1 ? 1 : depth; }
    // Finishes the oldest commands until another may start.
    void makeRoom() {
        while (pending_.size() >= depth_)
            finishOldest();
    }
    void add(PendingCommand command, Record record) {
        pending_.push_back({std::move(command), std::move(record)});
    }
    void drain() {
        while (!pending_.empty())
            finishOldest();
    }

private:
    void finishOldest() {
        auto [command, record] = std::move(pending_.front());
        pending_.pop_front();
        const bool done = access_.finish(command);
        if (!access_.dropped(command))
            record(done);
    }

    LocationAccess& access_;
    std::size_t depth_;
    std::deque<std::pair<PendingCommand, Record>> pending_;
};

} // namespace velmora
