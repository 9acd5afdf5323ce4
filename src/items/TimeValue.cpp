#include "items/TimeValue.h"

#include "platform/Clock.h"

#include <cctype>
#include <cstdio>

namespace velmora {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// Floor division, so that borrowed days come out negative.
int floorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int>(q);
}

// Reads a run of decimal digits; a run too long for any valid part saturates (and is then
// rejected by set) instead of overflowing.
int readNumber(std::string_view text, std::size_t& pos) {
    int value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (value < 100000)
            value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return value;
}

} // namespace

void TimeValue::set(int hours, int minutes, int seconds) {
    if (hours < 0 || hours > 23)
        hours = 0;
    if (minutes < 0 || minutes > 59)
        minutes = 0;
    if (seconds < 0 || seconds > 59)
        seconds = 0;
    packed_ = static_cast<std::uint32_t>((hours << 12) | (minutes << 6) | seconds);
}

TimeValue TimeValue::parse(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    int parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        parts[i] = readNumber(text, pos);
        if (pos >= text.size() || text[pos] != ':')
            break;
        ++pos;
    }
    TimeValue time;
    time.set(parts[0], parts[1], parts[2]);
    return time;
}

// Moves the time by a number of minutes within the day; returns the days carried or borrowed.
static int shiftMinutes(TimeValue& time, long long n) {
    const long long total = time.hours() * 60LL + time.minutes() + n;
    const int days = floorDiv(total, kMinutesPerDay);
    const long long inDay = total - static_cast<long long>(days) * kMinutesPerDay;
    time.set(static_cast<int>(inDay / 60), static_cast<int>(inDay % 60), time.seconds());
    return days;
}

int TimeValue::addMinutes(int n) {
    return shiftMinutes(*this, n);
}

int TimeValue::addHours(int n) {
    return shiftMinutes(*this, n * 60LL);
}

int TimeValue::secondsSince(TimeValue other) const {
    const auto secondsOf = [](TimeValue t) { return t.hours() * 3600 + t.minutes() * 60 + t.seconds(); };
    return secondsOf(*this) - secondsOf(other);
}

std::string TimeValue::format(unsigned flags) const {
    std::string text;
    const auto append = [&text](int value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02d", value);
        if (!text.empty())
            text += ':';
        text += digits;
    };
    if (flags & 0x10)
        append(hours());
    if (flags & 0x20)
        append(minutes());
    if (flags & 0x40)
        append(seconds());
    return text;
}

std::int64_t DateTimeValue::secondsSince(const DateTimeValue& other) const {
    return static_cast<std::int64_t>(date.daysSince(other.date)) * 86400 + time.secondsSince(other.time);
}

} // namespace velmora
