#include "cli/Terminal.h"

#include "platform/Environment.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace velmora::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<std::atomic<int>*> interruptTarget{nullptr};

static_assert(std::atomic<std::atomic<int>*>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

// Only lock-free atomic operations and async-signal-safe calls: anything else is unsafe here.
extern "C" void onStopSignal(int signal) {
    std::atomic<int>* stop = interruptTarget.load();
    int none = 0;
    if (stop && stop->compare_exchange_strong(none, signal))
        return;
    // A second signal, or one while no run may go on: end as the signal's default action does.
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

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

int terminalWidth(int fd) {
    struct winsize size {};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    if (const std::string columns = platform::environmentValue("COLUMNS"); !columns.empty()) {
        const int value = std::atoi(columns.c_str());
        if (value > 0)
            return value;
    }
    return 80;
}

void setInterruptTarget(std::atomic<int>* stop) {
    static const bool ignored[] = {ignoredAtStart(kStopSignals[0]), ignoredAtStart(kStopSignals[1]),
                                   ignoredAtStart(kStopSignals[2])};
    interruptTarget.store(stop);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        if (ignored[i])
            continue;
        struct sigaction action {};
        action.sa_handler = stop ? onStopSignal : SIG_DFL;
        // SA_RESTART keeps file commands on the worker threads from seeing EINTR.
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(kStopSignals[i], &action, nullptr);
    }
}

StopCause stopCauseOf(int signal) {
    switch (signal) {
    case SIGINT:
        return StopCause::Interrupt;
    case SIGTERM:
        return StopCause::Terminate;
    case SIGHUP:
        return StopCause::Hangup;
    default:
        return StopCause::StopButton;
    }
}

} // namespace velmora::cli
