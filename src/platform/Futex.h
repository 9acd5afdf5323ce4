#pragma once

#include <atomic>
#include <cstdint>

namespace velmora::platform {

// The kernel's wait queue on one 32-bit word, for hand-offs between two threads that cost one
// system call a side and only when the other side really sleeps.

// Sleeps while `word` holds `expected`, at most `timeoutMicros` (negative: no limit). May return
// early for no reason: the caller looks at the word again.
void futexWait(const std::atomic<std::uint32_t>& word, std::uint32_t expected, long timeoutMicros);
// Wakes every thread sleeping on `word`.
void futexWakeAll(const std::atomic<std::uint32_t>& word);
// Wakes one of them, if any sleeps.
void futexWakeOne(const std::atomic<std::uint32_t>& word);

} // namespace velmora::platform
