#include "engine/ProgressMeter.h"
#include "support/FakeFrontEnd.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct ProgressRig {
    test::FakeFrontEnd frontEnd;
    SyncResults results;
    std::uint64_t now = 0;
    ProgressMeter meter{frontEnd, results, [this] { return now; }};
};

TEST(ProgressMeterTest, ShowsPerMilleAndTimeRemaining) {
    ProgressRig rig;
    rig.results.workTotal = 1000;
    rig.results.startMillis = 5000;

    rig.results.workDone = 250;
    rig.now = 15000; // a quarter in 10 s: 30 s to go
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().barPosition, 25);
    EXPECT_EQ(rig.meter.view().percentText, "25");
    EXPECT_EQ(rig.meter.view().timeText, "00:00:30");

    rig.results.workDone = 1;
    rig.results.workTotal = 1000000;
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().barPosition, 0);
    EXPECT_EQ(rig.meter.view().percentText, "");
    EXPECT_EQ(rig.meter.view().timeText, "");

    rig.results.workDone = 1000; // one per mille after 10 s: 9990 s to go
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().timeText, "02:46:30");
}

TEST(ProgressMeterTest, TimeRemainingIsAtLeastOneSecondAndTheBarStopsAtFull) {
    ProgressRig rig;
    rig.results.workTotal = 1000;
    rig.results.workDone = 999;
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().timeText, "00:00:01");

    rig.results.workDone = 5000;
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().barPosition, 100);
    EXPECT_EQ(rig.meter.view().percentText, "100");

    rig.results.workTotal = 0;
    rig.meter.update();
    EXPECT_EQ(rig.meter.view().barPosition, 100);
}

TEST(ProgressMeterTest, PumpsOnEveryUpdateButShowsOnlyChanges) {
    ProgressRig rig;
    rig.results.workTotal = 100000;
    rig.results.workDone = 5000;
    rig.meter.update();
    const auto shown = rig.frontEnd.progressViews.size();
    rig.results.workDone = 5010; // same per mille
    rig.meter.update();
    EXPECT_EQ(rig.frontEnd.progressViews.size(), shown);
    EXPECT_EQ(rig.frontEnd.pumps, 2);

    rig.meter.setActivity("Adding file: /x");
    EXPECT_EQ(rig.frontEnd.progressViews.size(), shown + 1);
    EXPECT_EQ(rig.frontEnd.progressViews.back().activity, "Adding file: /x");
    EXPECT_EQ(rig.frontEnd.pumps, 3);
}

} // namespace
} // namespace velmora
