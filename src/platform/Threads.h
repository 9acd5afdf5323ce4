#pragma once

#include <chrono>

namespace velmora::platform {

// Waits until this process runs on its calling thread alone, or `bound` has passed; answers
// whether it does. Worker threads that end while the process ends would race the libraries'
// own clean-up at exit (the cryptography library of ssh sessions frees each thread's state from
// both sides), so a program lets them end first.
bool waitForOtherThreads(std::chrono::milliseconds bound);

// Ends the process with `status` without running the exit handlers and library destructors: for a
// program whose abandoned calls still hang inside a library, whose clean-up would then run beside
// them. Standard streams are flushed first.
[[noreturn]] void endProcessNow(int status);

} // namespace velmora::platform
