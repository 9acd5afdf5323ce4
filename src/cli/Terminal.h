#pragma once

#include <atomic>

namespace velmora::cli {

// The few calls the command line makes to the terminal and the signal machinery.

// Whether a standard stream (0, 1 or 2) is connected to a terminal.
bool isTerminal(int fd);

// Columns of the terminal on fd; $COLUMNS or 80 when it cannot be told.
int terminalWidth(int fd);

// Ctrl-C sets *stop (the Stop button of the run going on); a second Ctrl-C ends the program as
// an uncaught SIGINT does. Passing nullptr makes a first Ctrl-C end the program too. When the
// program was started with SIGINT ignored, it stays ignored.
void setInterruptTarget(std::atomic<bool>* stop);

} // namespace velmora::cli
