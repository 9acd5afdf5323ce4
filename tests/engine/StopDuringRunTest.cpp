// Stop during each kind of run: a file command that never returns (a hung share) must not keep
// the run from ending once Stop is pressed. The wait for a command pumps at least every
// millisecond, so the count of pumps between Stop and the end of the run bounds how long Stop
// takes to be seen without timing anything.
#include "SyncRig.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::FsOp;
using test::SyncRig;

constexpr long kMostPumpsAfterStop = 5;

struct StopCase {
    const char* name;
    FsOp hung;
    void (*trees)(SyncRig&);
};

void initialCopy(SyncRig& rig) {
    for (int i = 0; i < 20; ++i)
        rig.file("src/d/f" + std::to_string(i) + ".txt", "new " + std::to_string(i));
    for (int i = 0; i < 20; ++i)
        rig.file("src/g" + std::to_string(i) + ".txt", "top " + std::to_string(i));
}

void touched(SyncRig& rig) {
    for (int i = 0; i < 20; ++i) {
        rig.file("src/f" + std::to_string(i) + ".txt", "same", i == 7 ? 3600 : 0);
        rig.file("dst/f" + std::to_string(i) + ".txt", "same");
    }
}

void deletes(SyncRig& rig) {
    for (int i = 0; i < 20; ++i) {
        rig.file("src/f" + std::to_string(i) + ".txt", "kept");
        rig.file("dst/f" + std::to_string(i) + ".txt", "kept");
        rig.file("dst/x" + std::to_string(i) + ".txt", "gone");
    }
    rig.dir.makeFolder("dst/sub");
    rig.file("dst/sub/y.txt", "gone");
}

class StopDuringRun : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopDuringRun, EndsTheRunWhileTheCommandStillHangs) {
    SyncRig rig;
    GetParam().trees(rig);
    rig.fs.hang(GetParam().hung);
    long pumpsAtStop = -1;
    rig.frontEnd.onPump = [&](long pumps) {
        if (pumpsAtStop < 0 && rig.fs.waitUntilHung(GetParam().hung, std::chrono::milliseconds(0))) {
            pumpsAtStop = pumps;
            rig.flags.stopRequest = true;
        }
    };

    const RunOutcome outcome = rig.run();

    ASSERT_GE(pumpsAtStop, 0) << "the hung command was never reached";
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_LE(rig.frontEnd.pumps - pumpsAtStop, kMostPumpsAfterStop);
    // Still hung: the run did not wait for the call, and started no command after it.
    EXPECT_TRUE(rig.fs.waitUntilHung(GetParam().hung, std::chrono::milliseconds(0)));
    EXPECT_EQ(rig.fs.calls(GetParam().hung), 1);
    rig.fs.release();
}

INSTANTIATE_TEST_SUITE_P(EachCase, StopDuringRun,
                         ::testing::Values(StopCase{"InitialCopy", FsOp::CopyFile, initialCopy},
                                           StopCase{"TouchedFiles", FsOp::CopyFile, touched},
                                           StopCase{"Deletes", FsOp::DeleteFile, deletes}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// A run with nothing to do is all listing: Stop pressed in the middle of it ends the run at the
// next entry, and no further folder is listed. The one listing in flight may reach the file system
// only after Stop was seen (its worker not yet scheduled), so it may count once more.
TEST(StopDuringRun, NoChangeRunStopsListingAtTheNextEntry) {
    SyncRig rig;
    for (int d = 0; d < 5; ++d)
        for (int i = 0; i < 10; ++i) {
            const std::string name = "d" + std::to_string(d) + "/f" + std::to_string(i) + ".txt";
            rig.file("src/" + name, "same");
            rig.file("dst/" + name, "same");
        }
    rig.frontEnd.stopAtPump(rig.flags.stopRequest, 15);
    long pumpsAtStop = -1;
    int listingsAtStop = 0;
    rig.frontEnd.onPump = [&](long pumps) {
        if (pumpsAtStop < 0 && rig.flags.stopRequest) {
            pumpsAtStop = pumps;
            listingsAtStop = rig.fs.calls(FsOp::ListFolder);
        }
    };

    const RunOutcome outcome = rig.run();

    ASSERT_GE(pumpsAtStop, 0);
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_LE(rig.frontEnd.pumps - pumpsAtStop, kMostPumpsAfterStop);
    EXPECT_LE(rig.fs.calls(FsOp::ListFolder), listingsAtStop + 1);
    EXPECT_TRUE(rig.results.counts.addedFiles == 0 && rig.results.counts.deletedFiles == 0);
}

} // namespace
} // namespace velmora
