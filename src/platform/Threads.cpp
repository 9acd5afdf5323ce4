#include "platform/Threads.h"

#include <cstdio>
#include <dirent.h>
#include <thread>
#include <unistd.h>

namespace velmora::platform {
namespace {

int threadsOfProcess() {
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(tasks))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(tasks);
    return count;
}

} // namespace

bool waitForOtherThreads(std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const int threads = threadsOfProcess();
        if (threads <= 1)
            return threads == 1;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void endProcessNow(int status) {
    std::fflush(nullptr);
    ::_exit(status);
}

} // namespace velmora::platform
