#include "SyncRig.h"
#include "engine/FileComparison.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace velmora {
namespace {

FileItem fileAt(int day, int month, int year, int hours, int minutes, int seconds, std::uint64_t size = 10) {
    FileItem item;
    item.kind = kFile;
    item.date.set(day, month, year);
    item.time.set(hours, minutes, seconds);
    item.size = size;
    return item;
}

TEST(FileComparisonTest, RequiredDifferenceIsExclusive) {
    SyncOptions options; // on time, 120 seconds
    const FileItem target = fileAt(14, 11, 2023, 10, 0, 0);
    EXPECT_FALSE(sourceDiffers(fileAt(14, 11, 2023, 10, 2, 0), target, options)); // 120 s
    EXPECT_TRUE(sourceDiffers(fileAt(14, 11, 2023, 10, 2, 1), target, options));  // 121 s
    // A newer or equal target is never overwritten, however far apart.
    EXPECT_FALSE(sourceDiffers(fileAt(13, 11, 2023, 10, 0, 0), target, options));
    EXPECT_FALSE(sourceDiffers(target, target, options));

    options.requiredTimeDifference = 0;
    EXPECT_TRUE(sourceDiffers(fileAt(14, 11, 2023, 10, 0, 1), target, options));
    EXPECT_FALSE(sourceDiffers(target, target, options));
}

TEST(FileComparisonTest, DaysCountAcrossMidnight) {
    SyncOptions options;
    // 23:59:00 to 00:01:01 next day is 121 seconds.
    EXPECT_TRUE(sourceDiffers(fileAt(1, 3, 2024, 0, 1, 1), fileAt(29, 2, 2024, 23, 59, 0), options));
    EXPECT_FALSE(sourceDiffers(fileAt(1, 3, 2024, 0, 1, 0), fileAt(29, 2, 2024, 23, 59, 0), options));
    // A whole day later at an earlier time of day is still later.
    EXPECT_TRUE(sourceDiffers(fileAt(2, 3, 2024, 1, 0, 0), fileAt(1, 3, 2024, 23, 0, 0), options));
}

TEST(FileComparisonTest, TargetTimeIsShiftedByHoursAndMinutesWithTheDate) {
    SyncOptions options;
    // A target one hour behind the source matches once shifted by one hour.
    options.adjustHours = 1;
    EXPECT_FALSE(sourceDiffers(fileAt(5, 5, 2024, 12, 0, 0), fileAt(5, 5, 2024, 11, 0, 0), options));
    options.adjustHours = 0;
    EXPECT_TRUE(sourceDiffers(fileAt(5, 5, 2024, 12, 0, 0), fileAt(5, 5, 2024, 11, 0, 0), options));

    // -2 hours on 01:00, 5 May is 23:00, 4 May: a source at 23:01 on 4 May is newer by 60 s
    // (not copied), one at 23:02:01 by 121 s (copied).
    options.adjustHours = -2;
    const FileItem target = fileAt(5, 5, 2024, 1, 0, 0);
    EXPECT_FALSE(sourceDiffers(fileAt(4, 5, 2024, 23, 1, 0), target, options));
    EXPECT_TRUE(sourceDiffers(fileAt(4, 5, 2024, 23, 2, 1), target, options));
    // Unshifted, the target would be far newer.
    options.adjustHours = 0;
    EXPECT_FALSE(sourceDiffers(fileAt(4, 5, 2024, 23, 2, 1), target, options));

    // Minutes carry into the date too: 23:50 on 31 Dec + 15 minutes is 00:05 on 1 Jan.
    options.adjustMinutes = 15;
    const FileItem lateTarget = fileAt(31, 12, 2023, 23, 50, 0);
    EXPECT_FALSE(sourceDiffers(fileAt(1, 1, 2024, 0, 7, 0), lateTarget, options));
    EXPECT_TRUE(sourceDiffers(fileAt(1, 1, 2024, 0, 7, 1), lateTarget, options));
}

TEST(FileComparisonTest, OnSizeOnlyTheSizeCounts) {
    SyncOptions options;
    options.compareOnTime = false;
    const FileItem target = fileAt(1, 1, 2024, 0, 0, 0, 100);
    EXPECT_FALSE(sourceDiffers(fileAt(1, 1, 2025, 0, 0, 0, 100), target, options));
    EXPECT_TRUE(sourceDiffers(fileAt(1, 1, 2020, 0, 0, 0, 101), target, options));
    EXPECT_TRUE(sourceDiffers(fileAt(1, 1, 2024, 0, 0, 0, 5'000'000'000ULL), target, options));
}

// Local time of the listing while a test runs; the zone the process had comes back afterwards.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    std::optional<std::string> old_;
};

// Times are compared as instants, not as the local values a listing shows.
TEST(FileComparisonTest, InstantsDecideOnRealTrees) {
    const ZoneScope london("GMT0BST,M3.5.0/1,M10.5.0");
    constexpr std::time_t kRepeatedHour = 1698539400; // 29 Oct 2023 01:30 BST; an hour on: 01:30 GMT
    constexpr std::time_t k1975 = 157766400;
    constexpr std::time_t k2024 = 1704067200;
    const struct {
        const char* name;
        std::time_t source, target;
        int adjustHours;
        bool copied;
    } cases[] = {
        {"one real hour later inside the repeated hour", kRepeatedHour + 3600, kRepeatedHour, 0, true},
        {"one real hour earlier inside the repeated hour", kRepeatedHour, kRepeatedHour + 3600, 0, false},
        {"2024 over 1975 at the same time of day", k2024, k1975, 0, true},
        {"1975 never over 2024", k1975, k2024, 0, false},
        {"a target one hour behind, adjusted by one hour", k2024 + 3600, k2024, 1, false},
        {"newer by the required difference", k2024 + 120, k2024, 0, false},
        {"newer by one second more", k2024 + 121, k2024, 0, true},
    };
    for (const auto& c : cases) {
        test::SyncRig rig;
        rig.dir.writeFile("src/f.txt", "new", c.source);
        rig.dir.writeFile("dst/f.txt", "old", c.target);
        rig.options.adjustHours = c.adjustHours;
        rig.run();
        EXPECT_EQ(rig.read("dst/f.txt"), c.copied ? "new" : "old") << c.name;
    }
}

} // namespace
} // namespace velmora
