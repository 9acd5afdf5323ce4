#pragma once

#include <atomic>

namespace velmora::platform {

// Routes the signals that ask a program to stop (SIGINT: Ctrl-C, SIGTERM: kill, timeout(1), a
// service manager, SIGHUP: a closed terminal or session) to the run going on: the first sets *flag
// to the signal's number and, with wakeFd >= 0, writes that number as one byte to wakeFd (so that
// an event loop watching the other end of a pipe wakes up). A second one while the first is
// handled ends the program at once, as the signal's default action does. nullptr gives every
// signal its default action back. A signal that was ignored when the program started (nohup, a
// script's background job) stays ignored.
void routeStopSignals(std::atomic<int>* flag, int wakeFd = -1);

// A pipe for routeStopSignals, both ends non-blocking and closed on exec: fds[0] to watch and
// read, fds[1] to write. False when it cannot be made.
bool makeWakePipe(int fds[2]);

// The signal number a byte read from the wake pipe stands for; 0 when there is none to read.
int readWakePipe(int fd);

} // namespace velmora::platform
