#pragma once

#include <chrono>

namespace velmora::platform {

// Waits until this process runs on its calling thread alone, or `bound` has passed; answers
// whether it does. Worker threads that end while the process ends would race the libraries'
// own clean-up at exit (the cryptography library of ssh sessions frees each thread's state from
// both sides), so a program lets them end first.
bool waitForOtherThreads(std::chrono::milliseconds bound);

} // namespace velmora::platform
