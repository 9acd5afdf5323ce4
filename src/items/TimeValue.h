#pragma once

#include "items/DateValue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// A time of day packed into 17 bits: seconds in bits 0-5, minutes 6-11, hours 12-16.
class TimeValue {
public:
    TimeValue() = default;
    explicit TimeValue(std::uint32_t packed) : packed_(packed) {}

    // An hour outside 0-23 or a minute or second outside 0-59 becomes 0.
    void set(int hours, int minutes, int seconds);
    // "h:m:s" after leading white space; missing parts are 0.
    static TimeValue parse(std::string_view text);

    std::uint32_t packed() const { return packed_; }
    int hours() const { return (packed_ >> 12) & 0x1F; }
    int minutes() const { return (packed_ >> 6) & 0x3F; }
    int seconds() const { return packed_ & 0x3F; }

    // Each wraps within the day and returns the whole days carried (positive) or borrowed
    // (negative), for the caller to apply to the date.
    int addMinutes(int n);
    int addHours(int n);
    // Signed seconds from `other` to this time.
    int secondsSince(TimeValue other) const;

    // Flags: 0x10 hours, 0x20 minutes, 0x40 seconds, two digits each, joined by ':'.
    std::string format(unsigned flags) const;

    friend auto operator<=>(TimeValue a, TimeValue b) { return a.packed_ <=> b.packed_; }
    friend bool operator==(TimeValue a, TimeValue b) { return a.packed_ == b.packed_; }

private:
    std::uint32_t packed_ = 0;
};

// A date and time pair, as a file item carries it.
struct DateTimeValue {
    DateValue date;
    TimeValue time;
    friend auto operator<=>(const DateTimeValue&, const DateTimeValue&) = default;
    // Signed seconds from `other` to this pair.
    std::int64_t secondsSince(const DateTimeValue& other) const;
};

} // namespace velmora
