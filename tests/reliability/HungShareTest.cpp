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

} // namespace
} // namespace velmora::test
