#include "items/DateValue.h"
#include "items/NumberText.h"
#include "items/TimeValue.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

DateValue date(int day, int month, int year) {
    DateValue d;
    EXPECT_TRUE(d.set(day, month, year)) << day << '/' << month << '/' << year;
    return d;
}

TimeValue time(int h, int m, int s) {
    TimeValue t;
    t.set(h, m, s);
    return t;
}

TEST(DateValue, SetChecksTheCalendar) {
    DateValue d = date(1, 1, 2000);
    EXPECT_FALSE(d.set(29, 2, 2100));
    EXPECT_EQ(d, date(1, 1, 2000)) << "a failed set leaves the date unchanged";
    EXPECT_TRUE(d.set(29, 2, 2000));
    EXPECT_FALSE(d.set(29, 2, 2001));
    EXPECT_TRUE(d.set(29, 2, 2004));
    EXPECT_FALSE(d.set(31, 4, 2010));
    EXPECT_FALSE(d.set(0, 4, 2010));
    EXPECT_FALSE(d.set(1, 13, 2010));
    EXPECT_FALSE(d.set(31, 12, 1979));
    EXPECT_TRUE(d.set(31, 12, 2080));
    EXPECT_FALSE(d.set(1, 1, 2081));
    EXPECT_TRUE(d.set(0, 0, 0));
    EXPECT_TRUE(d.empty());
}

TEST(DateValue, TwoDigitYearsPivotAtFifty) {
    EXPECT_EQ(date(1, 1, 49).year(), 2049);
    EXPECT_EQ(date(1, 1, 80).year(), 1980);
    EXPECT_EQ(date(1, 1, 99).year(), 1999);
    DateValue d;
    EXPECT_FALSE(d.set(1, 1, 50)) << "1950 lies before the first valid year";
    EXPECT_FALSE(d.set(1, 1, 79));
}

TEST(DateValue, PacksDayMonthAndYearOffset) {
    const DateValue d = date(7, 12, 2008);
    EXPECT_EQ(d.packed(), (28 << 9) | (12 << 5) | 7);
    EXPECT_EQ(d.day(), 7);
    EXPECT_EQ(d.month(), 12);
    EXPECT_EQ(d.year(), 2008);
    EXPECT_LT(date(31, 12, 2007), d);
}

TEST(DateValue, DayArithmeticCrossesMonthsYearsAndLeapDays) {
    DateValue d = date(28, 2, 2000);
    d.addDays(1);
    EXPECT_EQ(d, date(29, 2, 2000));
    d.addDays(1);
    EXPECT_EQ(d, date(1, 3, 2000));
    d.addDays(-366);
    EXPECT_EQ(d, date(1, 3, 1999));
    d.addDays(10000);
    EXPECT_EQ(d, date(17, 7, 2026));
    EXPECT_EQ(date(1, 1, 2009).daysSince(date(31, 12, 2008)), 1);
    EXPECT_EQ(date(1, 3, 2080).daysSince(date(28, 2, 2080)), 2);
    // Beyond the years set accepts, but still packable: 2100 has no 29 February.
    DateValue lateFebruary(static_cast<std::uint16_t>((120 << 9) | (2 << 5) | 28));
    lateFebruary.addDays(1);
    EXPECT_EQ(lateFebruary.format(0xE), "01/03/2100");
    EXPECT_EQ(date(1, 1, 1980).daysSince(date(1, 1, 2080)), -36525);
}

TEST(DateValue, ArithmeticStaysInsideThePackableRange) {
    DateValue d = date(1, 1, 1980);
    d.addDays(-1);
    EXPECT_EQ(d, date(1, 1, 1980));
    d.addDays(200 * 366);
    EXPECT_EQ(d.year(), 2107);
}

TEST(DateValue, EmptyDateStaysEmpty) {
    DateValue d;
    d.addDays(5);
    d.addDays(-400);
    d.addDays(1);
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(d.daysSince(date(1, 1, 2000)), 0);
    EXPECT_EQ(date(1, 1, 2000).daysSince(d), 0);
    EXPECT_EQ(d.format(0xD), "");
}

TEST(DateValue, WeekdaysOfKnownDates) {
    EXPECT_EQ(date(1, 1, 1980).weekday(), 1);  // Tuesday
    EXPECT_EQ(date(29, 2, 2000).weekday(), 1); // Tuesday
    EXPECT_EQ(date(1, 1, 2001).weekday(), 0);  // Monday
    EXPECT_EQ(date(7, 12, 2008).weekday(), 6); // Sunday
    EXPECT_EQ(date(14, 2, 2026).weekday(), 5); // Saturday
    EXPECT_EQ(date(1, 3, 2080).weekday(), 4);  // Friday
    // Every day of several years, against steady counting from a known Tuesday.
    DateValue d = date(1, 1, 1980);
    for (int n = 0; n < 3 * 366; ++n, d.addDays(1))
        ASSERT_EQ(d.weekday(), (n + 1) % 7) << d.format(0xE);
}

TEST(DateValue, FormatsInUse) {
    const DateValue d = date(7, 12, 2008);
    EXPECT_EQ(d.format(0xD, 0, '/'), "07/12/08");
    EXPECT_EQ(d.format(0xD, 2, '/'), "12/07/08");
    EXPECT_EQ(d.format(0x60A), "Sun 07 December 2008");
    EXPECT_EQ(d.format(0xE, 1, '-'), "2008-12-07");
    EXPECT_EQ(d.format(0x90A, 2, '-'), "Sunday 07 Dec 2008") << "a month name forces order 0 and spaces";
    EXPECT_EQ(date(3, 4, 1980).format(0xD), "03/04/80");
    EXPECT_EQ(date(3, 4, 2000).format(0xD), "03/04/00");
}

TEST(DateValue, NameTables) {
    EXPECT_STREQ(monthName(1), "January");
    EXPECT_STREQ(shortMonthName(12), "Dec");
    EXPECT_STREQ(monthName(0), "Bad");
    EXPECT_STREQ(shortMonthName(13), "Bad");
    EXPECT_STREQ(weekdayName(6), "Sunday");
    EXPECT_STREQ(shortWeekdayName(0), "Mon");
}

TEST(TimeValue, SetReplacesEachInvalidPartByZero) {
    EXPECT_EQ(time(24, 30, 15), time(0, 30, 15));
    EXPECT_EQ(time(12, 60, 15), time(12, 0, 15));
    EXPECT_EQ(time(12, 30, -1), time(12, 30, 0));
    EXPECT_EQ(time(14, 5, 9).packed(), (14u << 12) | (5u << 6) | 9u);
}

TEST(TimeValue, ParseReadsColonSeparatedParts) {
    EXPECT_EQ(TimeValue::parse("  14:05:09"), time(14, 5, 9));
    EXPECT_EQ(TimeValue::parse("2:30"), time(2, 30, 0));
    EXPECT_EQ(TimeValue::parse("7"), time(7, 0, 0));
    EXPECT_EQ(TimeValue::parse(""), time(0, 0, 0));
    EXPECT_EQ(TimeValue::parse("25:10:10"), time(0, 10, 10));
    EXPECT_EQ(TimeValue::parse("99999999999999999999:10"), time(0, 10, 0));
}

TEST(TimeValue, MinuteAndHourArithmeticCarriesWholeDays) {
    TimeValue t = time(23, 0, 0);
    EXPECT_EQ(t.addMinutes(90), 1);
    EXPECT_EQ(t, time(0, 30, 0));
    EXPECT_EQ(t.addHours(-1), -1);
    EXPECT_EQ(t, time(23, 30, 0));
    EXPECT_EQ(t.addHours(49), 3);
    EXPECT_EQ(t, time(0, 30, 0));
    t = time(10, 15, 42);
    EXPECT_EQ(t.addMinutes(-(3 * 1440 + 16)), -3);
    EXPECT_EQ(t, time(9, 59, 42)) << "seconds are kept";
    EXPECT_EQ(t.addMinutes(0), 0);
}

TEST(TimeValue, Formats) {
    const TimeValue t = time(14, 5, 9);
    EXPECT_EQ(t.format(0x70), "14:05:09");
    EXPECT_EQ(t.format(0x30), "14:05");
    EXPECT_EQ(t.format(0x50), "14:09");
    EXPECT_EQ(t.format(0), "");
}

TEST(DateTimeValue, DifferencesAndOrder) {
    const DateTimeValue newYear{date(1, 1, 2009), time(0, 0, 10)};
    const DateTimeValue oldYear{date(31, 12, 2008), time(23, 59, 50)};
    EXPECT_EQ(newYear.secondsSince(oldYear), 20);
    EXPECT_EQ(oldYear.secondsSince(newYear), -20);
    EXPECT_LT(oldYear, newYear);
    EXPECT_EQ(time(0, 0, 10).secondsSince(time(23, 59, 50)), -86380);
    const DateTimeValue later{date(1, 1, 2080), time(0, 0, 0)};
    const DateTimeValue earlier{date(1, 1, 1980), time(0, 0, 0)};
    EXPECT_EQ(later.secondsSince(earlier), 36525LL * 86400);
}

TEST(NumberText, GroupsOfThree) {
    EXPECT_EQ(thousandsText(0), "0");
    EXPECT_EQ(thousandsText(999), "999");
    EXPECT_EQ(thousandsText(1000), "1,000");
    EXPECT_EQ(thousandsText(1234567), "1,234,567");
    EXPECT_EQ(thousandsText(5'000'000'000ULL), "5,000,000,000");
    EXPECT_EQ(thousandsText(18446744073709551615ULL), "18,446,744,073,709,551,615");
}

} // namespace
} // namespace velmora
