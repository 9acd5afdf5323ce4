#pragma once

#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>

namespace velmora::cli {

// The few calls the command line makes to the terminal and the signal machinery.

// Whether a standard stream (0, 1 or 2) is connected to a terminal.
bool isTerminal(int fd);

// Columns of the terminal on fd; $COLUMNS or 80 when it cannot be told.
int terminalWidth(int fd);

// Ctrl-C (SIGINT), SIGTERM and SIGHUP (a closed terminal) set *stop to the signal's number: the
// Stop button of the run going on. A second such signal while the first is handled ends the
// program at once, as an uncaught signal does. Passing nullptr makes a first signal end the program
// too. A signal that was ignored when the program started (nohup, a script's background job)
// stays ignored.
void setInterruptTarget(std::atomic<int>* stop);

// One line from `in` with the terminal's echo off while it is typed (a password); nothing at the
// end of the input.
std::optional<std::string> readWithoutEcho(std::istream& in);

} // namespace velmora::cli
