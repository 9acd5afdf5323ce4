#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// A calendar date packed into 16 bits: day in bits 0-4, month in bits 5-8, year - 1980 in bits
// 9-15. 0 is the empty date. Valid years are 1980 to 2080.
class DateValue {
public:
    DateValue() = default;
    explicit DateValue(std::uint16_t packed) : packed_(packed) {}

    // Years below 100 are 2000+ (below 50) or 1900+ (50 and above). 0,0,0 gives the empty date;
    // day with month 0 takes the current month. Invalid values leave the date unchanged: false.
    bool set(int day, int month, int year);

    std::uint16_t packed() const { return packed_; }
    bool empty() const { return packed_ == 0; }
    int day() const { return packed_ & 0x1F; }
    int month() const { return (packed_ >> 5) & 0x0F; }
    int year() const { return 1980 + (packed_ >> 9); }

    void addDays(int n);
    // Signed count of days from `other` to this date; 0 when either is empty.
    int daysSince(DateValue other) const;
    int weekday() const; // 0 Monday .. 6 Sunday; -1 for the empty date

    static bool isLeapYear(int year);
    static int monthLength(int month, int year);

    // The empty date formats as "". Flags: 0x400 short weekday, 0x800 long weekday, 0x8 day, 0x4 month
    // digits, 0x100 short month name, 0x200 long month name, 0x2 four-digit year, 0x1 two-digit year. Order 0
    // is day-month-year, 1 year-month-day, 2 month-day-year; a month name forces order 0 and a space
    // separator.
    std::string format(unsigned flags, int order = 0, char separator = '/') const;

    friend auto operator<=>(DateValue a, DateValue b) { return a.packed_ <=> b.packed_; }
    friend bool operator==(DateValue a, DateValue b) { return a.packed_ == b.packed_; }

private:
    std::uint16_t packed_ = 0;
};

const char* monthName(int month);      // "January".."December", "Bad" outside 1..12
const char* shortMonthName(int month); // "Jan".."Dec", "Bad" outside 1..12
const char* weekdayName(int weekday);  // 0 "Monday" .. 6 "Sunday"
const char* shortWeekdayName(int weekday);

} // namespace velmora
