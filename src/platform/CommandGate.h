#pragma once

#include "platform/Clock.h"

#include <atomic>
#include <cstdint>

namespace velmora::platform {

// What a file command's worker and the side waiting for it share while the command runs.
//
// The moment of the last progress: the timeout is there for a share that stops answering, so it
// counts from the last bytes moved, and a big copy that keeps moving never times out.
//
// One atomic hand-over that decides a stopped or timed-out command's outcome: the worker commits
// just before the step that makes its change visible (the rename or link into place, the unlink),
// the waiting side abandons; whichever comes first wins. A worker that lost discards its copy; a
// waiting side that lost knows the change is happening and records it by the worker's result.
class CommandGate {
public:
    // Worker side.
    void progressed() { lastProgress_.store(steadyMillis(), std::memory_order_relaxed); }
    bool abandoned() const { return state_.load(std::memory_order_acquire) == kAbandoned; }
    // True when the change may be made; false when the command was given up first. Once won,
    // it stays won (a retry of the same command commits again).
    bool commit() {
        progressed();
        std::uint32_t expected = kOpen;
        return state_.compare_exchange_strong(expected, kCommitted) || expected == kCommitted;
    }

    // Waiting side: true when the command is given up (its worker will not commit), false when
    // the worker has committed already.
    bool abandon() {
        std::uint32_t expected = kOpen;
        return state_.compare_exchange_strong(expected, kAbandoned) || expected == kAbandoned;
    }
    bool committed() const { return state_.load(std::memory_order_acquire) == kCommitted; }
    // 0 until the worker has started the command.
    std::uint64_t lastProgressMillis() const { return lastProgress_.load(std::memory_order_relaxed); }

private:
    static constexpr std::uint32_t kOpen = 0;
    static constexpr std::uint32_t kCommitted = 1;
    static constexpr std::uint32_t kAbandoned = 2;
    std::atomic<std::uint32_t> state_{kOpen};
    std::atomic<std::uint64_t> lastProgress_{0};
};

// Whether `gate` (which may be absent) has been given up.
inline bool isAbandoned(const CommandGate* gate) {
    return gate != nullptr && gate->abandoned();
}
inline void progressed(CommandGate* gate) {
    if (gate != nullptr)
        gate->progressed();
}
// True when there is no gate to ask.
inline bool commit(CommandGate* gate) {
    return gate == nullptr || gate->commit();
}

} // namespace velmora::platform
