#include "platform/Clock.h"

#include <chrono>

namespace velmora::platform {

std::uint64_t steadyMillis() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

LocalTime localNow() {
    return toLocalTime(std::time(nullptr));
}

LocalTime toLocalTime(std::time_t seconds) {
    std::tm parts{};
    if (localtime_r(&seconds, &parts) == nullptr)
        return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

} // namespace velmora::platform
