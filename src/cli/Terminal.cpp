#include "cli/Terminal.h"

#include "platform/Environment.h"
#include "platform/StopSignals.h"

#include <csignal>
#include <cstdlib>
#include <istream>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace velmora::cli {

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
    platform::routeStopSignals(stop);
}

std::optional<std::string> readWithoutEcho(std::istream& in) {
    struct termios before {};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        struct termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(in, line));
    if (terminal)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    if (!read)
        return std::nullopt;
    return line;
}

} // namespace velmora::cli
