#include "platform/Futex.h"

#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the kernel waits on the atomic's own four bytes");

std::uint32_t* address(const std::atomic<std::uint32_t>& word) {
    return const_cast<std::uint32_t*>(reinterpret_cast<const std::uint32_t*>(&word));
}

} // namespace

void futexWait(const std::atomic<std::uint32_t>& word, std::uint32_t expected, long timeoutMicros) {
    struct timespec timeout {};
    timeout.tv_sec = timeoutMicros / 1000000;
    timeout.tv_nsec = timeoutMicros % 1000000 * 1000;
    // Private: the word is never shared with another process. EAGAIN (the word changed), EINTR
    // and ETIMEDOUT all mean "look again".
    ::syscall(SYS_futex, address(word), FUTEX_WAIT_PRIVATE, expected, timeoutMicros < 0 ? nullptr : &timeout,
              nullptr, 0);
}

void futexWakeAll(const std::atomic<std::uint32_t>& word) {
    ::syscall(SYS_futex, address(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

void futexWakeOne(const std::atomic<std::uint32_t>& word) {
    ::syscall(SYS_futex, address(word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace velmora::platform
