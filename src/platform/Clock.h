#pragma once

#include <cstdint>
#include <ctime>

namespace velmora::platform {

// A broken-down local date and time, as the listing and the log need it.
struct LocalTime {
    int year = 0;  // e.g. 2026
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Milliseconds of a monotonic clock; only differences mean anything.
std::uint64_t steadyMillis();

// The current local date and time.
LocalTime localNow();

// Seconds since the epoch converted to local time.
LocalTime toLocalTime(std::time_t seconds);

} // namespace velmora::platform
