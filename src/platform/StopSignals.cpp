#include "platform/StopSignals.h"

#include "platform/TemporaryRegistry.h"

#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace velmora::platform {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<std::atomic<int>*> stopFlag{nullptr};
std::atomic<int> wakeDescriptor{-1};

static_assert(std::atomic<std::atomic<int>*>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

// Only lock-free atomic operations and async-signal-safe calls: anything else is unsafe here.
extern "C" void onStopSignal(int signal) {
    std::atomic<int>* flag = stopFlag.load();
    int none = 0;
    if (flag && flag->compare_exchange_strong(none, signal)) {
        if (const int fd = wakeDescriptor.load(); fd >= 0) {
            const char byte = static_cast<char>(signal);
            [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
        }
        return;
    }
    // A second signal, or one while nothing may be stopped: end as the default action does, but
    // leave no temporary name of a copy under way behind.
    removeRegisteredTemporaries();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

bool ignoredAtStart(int signal) {
    struct sigaction old {};
    return ::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

} // namespace

void routeStopSignals(std::atomic<int>* flag, int wakeFd) {
    static const bool ignored[] = {ignoredAtStart(kStopSignals[0]), ignoredAtStart(kStopSignals[1]),
                                   ignoredAtStart(kStopSignals[2])};
    wakeDescriptor.store(flag ? wakeFd : -1);
    stopFlag.store(flag);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        if (ignored[i])
            continue;
        struct sigaction action {};
        action.sa_handler = flag ? onStopSignal : SIG_DFL;
        // SA_RESTART keeps file commands on the worker threads from seeing EINTR.
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(kStopSignals[i], &action, nullptr);
    }
}

bool makeWakePipe(int fds[2]) {
    return ::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0;
}

int readWakePipe(int fd) {
    unsigned char byte = 0;
    return ::read(fd, &byte, 1) == 1 ? byte : 0;
}

} // namespace velmora::platform
