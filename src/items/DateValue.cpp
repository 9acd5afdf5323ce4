#include "items/DateValue.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace velmora {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastValidYear = 2080;
// Arithmetic stays inside what the seven year bits can hold, so a result is never garbage.
constexpr int kLastPackableYear = kFirstYear + 127;

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kWeekdayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                     "Friday", "Saturday", "Sunday"};
const char* const kShortWeekdayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::uint16_t pack(int day, int month, int year) {
    return static_cast<std::uint16_t>(((year - kFirstYear) << 9) | (month << 5) | day);
}

std::int64_t leapYearsBefore(int year) {
    const std::int64_t y = year - 1;
    return y / 4 - y / 100 + y / 400;
}

// Days since 1 January 1980 (day 0).
std::int64_t dayNumber(int day, int month, int year) {
    std::int64_t n = 365 * static_cast<std::int64_t>(year - kFirstYear) + leapYearsBefore(year) -
                     leapYearsBefore(kFirstYear);
    for (int m = 1; m < month; ++m)
        n += DateValue::monthLength(m, year);
    return n + day - 1;
}

std::int64_t dayNumber(const DateValue& d) {
    return dayNumber(d.day(), d.month(), d.year());
}

std::uint16_t fromDayNumber(std::int64_t n) {
    const std::int64_t last = dayNumber(31, 12, kLastPackableYear);
    n = std::clamp<std::int64_t>(n, 0, last);
    int year = kFirstYear;
    for (;;) {
        const int length = DateValue::isLeapYear(year) ? 366 : 365;
        if (n < length)
            break;
        n -= length;
        ++year;
    }
    int month = 1;
    while (n >= DateValue::monthLength(month, year)) {
        n -= DateValue::monthLength(month, year);
        ++month;
    }
    return pack(static_cast<int>(n) + 1, month, year);
}

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

} // namespace

bool DateValue::isLeapYear(int year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DateValue::monthLength(int month, int year) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

bool DateValue::set(int day, int month, int year) {
    if (day == 0 && month == 0 && year == 0) {
        packed_ = 0;
        return true;
    }
    if (year >= 0 && year < 100)
        year += year < 50 ? 2000 : 1900;
    if (month == 0)
        month = platform::localNow().month;
    if (year < kFirstYear || year > kLastValidYear || month < 1 || month > 12 || day < 1 ||
        day > monthLength(month, year))
        return false;
    packed_ = pack(day, month, year);
    return true;
}

void DateValue::addDays(int n) {
    if (empty())
        return;
    packed_ = fromDayNumber(dayNumber(*this) + n);
}

int DateValue::daysSince(DateValue other) const {
    if (empty() || other.empty())
        return 0;
    return static_cast<int>(dayNumber(*this) - dayNumber(other));
}

int DateValue::weekday() const {
    if (empty())
        return -1;
    int d = day();
    int m = month();
    const int y = year();
    if (m < 3) {
        // January and February count as months 13 and 14 of the year; the day moves back by
        // the length of that year modulo 7 to make up for it.
        m += 12;
        d -= isLeapYear(y) ? 2 : 1;
    }
    const int r = (y + y / 4 + (3 * m + 3) / 5 + y / 400 + 2 * m + d - y / 100 + 1) % 7;
    return r == 0 ? 6 : r - 1;
}

std::string DateValue::format(unsigned flags, int order, char separator) const {
    if (empty())
        return {};
    std::string text;
    if (flags & 0x800) {
        text += weekdayName(weekday());
        text += ' ';
    } else if (flags & 0x400) {
        text += shortWeekdayName(weekday());
        text += ' ';
    }

    std::string dayPart;
    if (flags & 0x8)
        dayPart = twoDigits(day());
    std::string monthPart;
    if (flags & 0x200)
        monthPart = monthName(month());
    else if (flags & 0x100)
        monthPart = shortMonthName(month());
    else if (flags & 0x4)
        monthPart = twoDigits(month());
    std::string yearPart;
    if (flags & 0x2)
        yearPart = std::to_string(year());
    else if (flags & 0x1)
        yearPart = twoDigits(year() % 100);

    if (flags & 0x300) {
        order = 0;
        separator = ' ';
    }
    const std::string* parts[3] = {&dayPart, &monthPart, &yearPart};
    if (order == 1) {
        parts[0] = &yearPart;
        parts[2] = &dayPart;
    } else if (order == 2) {
        parts[0] = &monthPart;
        parts[1] = &dayPart;
    }
    bool first = true;
    for (const std::string* part : parts) {
        if (part->empty())
            continue;
        if (!first)
            text += separator;
        text += *part;
        first = false;
    }
    return text;
}

const char* monthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : "Bad";
}

const char* shortMonthName(int month) {
    return month >= 1 && month <= 12 ? kShortMonthNames[month - 1] : "Bad";
}

const char* weekdayName(int weekday) {
    return weekday >= 0 && weekday <= 6 ? kWeekdayNames[weekday] : "Bad";
}

const char* shortWeekdayName(int weekday) {
    return weekday >= 0 && weekday <= 6 ? kShortWeekdayNames[weekday] : "Bad";
}

} // namespace velmora
