#include "cli/Terminal.h"

#include "platform/Environment.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace velmora::cli {

namespace {

std::atomic<std::atomic<bool>*> interruptTarget{nullptr};

static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

// Only lock-free atomic operations: anything else is unsafe in a signal handler.
extern "C" void onInterrupt(int) {
    if (std::atomic<bool>* stop = interruptTarget.load())
        stop->store(true);
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

void setInterruptTarget(std::atomic<bool>* stop) {
    // A program started with Ctrl-C ignored (in the background of a script, under nohup) keeps
    // ignoring it.
    static const bool ignoredAtStart = [] {
        struct sigaction old {};
        return ::sigaction(SIGINT, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
    }();
    if (ignoredAtStart)
        return;
    interruptTarget.store(stop);
    struct sigaction action {};
    if (stop) {
        action.sa_handler = onInterrupt;
        // The default action comes back after the first Ctrl-C, so the second one ends the
        // program; SA_RESTART keeps file commands on the worker threads from seeing EINTR.
        action.sa_flags = static_cast<int>(SA_RESETHAND | SA_RESTART);
    } else {
        action.sa_handler = SIG_DFL;
    }
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace velmora::cli
