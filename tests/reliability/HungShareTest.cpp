// A share that stops answering: every file command gives up after the command timeout, the run
// goes on to its end, and the abandoned commands clean up after themselves when it answers.
#include "engine/SyncRig.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::IsEmpty;

TEST(HungShareTest, EveryCommandTimesOutTheRunEndsAndNothingTemporaryIsLeft) {
    SyncRig rig;
    rig.file("src/changed.txt", "new", 3600);
    rig.file("dst/changed.txt", "old");
    rig.file("src/added.txt", "added");
    rig.file("src/folder/inner.txt", "inner");
    rig.file("dst/stale.txt", "stale");
    rig.options.commandTimeout = 1;
    rig.fs.hang(FsOp::CopyFile);
    rig.fs.hang(FsOp::DeleteFile);

    const RunOutcome outcome = rig.run();
    EXPECT_FALSE(outcome.failed);
    EXPECT_FALSE(outcome.interrupted);
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre(
            "CSynchroniserDlg::processFiles (overwrite): Could not copy file: " + rig.target + "changed.txt",
            "Timed out",
            "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.target + "added.txt",
            "Timed out",
            "CSynchroniserDlg::processFiles (delete): Could not delete file: " + rig.target + "stale.txt",
            "Timed out",
            "CSynchroniserDlg::copyDirectory: Could not add file: " + rig.target + "folder/inner.txt",
            "Timed out"));
    EXPECT_EQ(rig.results.counts.overwrittenFiles + rig.results.counts.addedFiles +
                  rig.results.counts.deletedFiles,
              0u);
    // Folder creation runs directly, not on the hung worker.
    EXPECT_EQ(rig.results.counts.addedFolders, 1u);
    EXPECT_EQ(rig.frontEnd.activities().back(), "");
    EXPECT_EQ(rig.flags.runningState, RunningState::Idle);

    // The share answers at last; the abandoned copies must not put anything in place.
    rig.fs.release();
    for (int i = 0; i < 1000 && rig.commands.runningWorkers() > 0; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(rig.commands.runningWorkers(), 0);
    EXPECT_EQ(rig.read("dst/changed.txt"), "old");
    EXPECT_FALSE(TempDir::exists(rig.dir.at("dst/added.txt")));
    EXPECT_FALSE(TempDir::exists(rig.dir.at("dst/folder/inner.txt")));
    EXPECT_THAT(rig.dir.temporaryFiles("dst"), IsEmpty());
    EXPECT_THAT(rig.dir.temporaryFiles("dst/folder"), IsEmpty());
}

TEST(HungShareTest, AShareThatAnswersLateButWithinTheTimeoutIsWaitedFor) {
    SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.file("src/b.txt", "b");
    rig.options.commandTimeout = 1;
    rig.fs.hangFor(FsOp::CopyFile, 300ms);

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_EQ(rig.results.counts.addedFiles, 2u);
    EXPECT_EQ(rig.read("dst/a.txt"), "a");
    EXPECT_EQ(rig.read("dst/b.txt"), "b");
}

// Each call that touches a location before the analysis (resolving it for the overlap check,
// the attributes of the roots, creating a missing target, a letter-case probe) gives up after
// the timeout with the folder named: the run fails before anything changes, it never hangs.
struct HungBeforeAnalysis {
    const char* name;
    FsOp hungCall;
    bool targetMissing;
    const char* problem; // after "CSynchroniserDlg::synchronise: ", the location appended
    bool source;         // the problem names the source, else the target
};

class HungBeforeAnalysisTest : public testing::TestWithParam<HungBeforeAnalysis> {};

TEST_P(HungBeforeAnalysisTest, FailsTheRunWithTheLocationNamedAndChangesNothing) {
    const HungBeforeAnalysis& c = GetParam();
    SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.file("dst/stale.txt", "stale");
    if (c.targetMissing) {
        rig.target = rig.dir.at("dst/new/");
        rig.options.safeguards.missingTarget = RunSafeguards::MissingTarget::Create;
    }
    rig.options.deleteMissing = true;
    rig.options.commandTimeout = 1;
    rig.fs.hang(c.hungCall);

    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.failed);
    EXPECT_FALSE(outcome.interrupted);
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
    EXPECT_THAT(rig.results.problems, ElementsAre(std::string("CSynchroniserDlg::synchronise: ") + c.problem +
                                                      (c.source ? rig.source : rig.target),
                                                  "Timed out"));
    // Looked at while the call still hangs: once the share answers, a folder it was asked for
    // may appear, as the system finishes what it had been sent.
    EXPECT_THAT(rig.tree("dst"), ElementsAre("stale.txt"));
    rig.fs.release();
}

INSTANTIATE_TEST_SUITE_P(Calls, HungBeforeAnalysisTest,
                         testing::Values(HungBeforeAnalysis{"ResolvingTheSource", FsOp::ResolveLocation,
                                                            false, "Could not access folder: ", true},
                                         HungBeforeAnalysis{"TheRootsAttributes", FsOp::GetAttributes, false,
                                                            "Could not access folder: ", true},
                                         HungBeforeAnalysis{"CreatingAMissingTarget", FsOp::CreateFolder,
                                                            true, "Could not create folder: ", false}),
                         [](const testing::TestParamInfo<HungBeforeAnalysis>& param) {
                             return std::string(param.param.name);
                         });

TEST(HungShareTest, StopWhileALocationDoesNotAnswerEndsTheRunAsInterrupted) {
    SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.fs.hang(FsOp::ResolveLocation);
    rig.frontEnd.stopAtPump(rig.flags.stopRequest, 20);

    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_FALSE(outcome.failed);
    EXPECT_THAT(rig.results.problems, IsEmpty());
    rig.fs.release();
    EXPECT_THAT(rig.tree("dst"), IsEmpty());
}

} // namespace
} // namespace velmora::test
