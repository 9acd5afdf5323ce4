#include "SyncRig.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A source and a target that differ in every way a run handles.
void buildMixedTrees(SyncRig& rig) {
    rig.file("src/same.txt", "same");
    rig.file("dst/same.txt", "same");
    rig.file("src/changed.txt", "new content", 3600);
    rig.file("dst/changed.txt", "old");
    rig.file("src/added.txt", "added");
    rig.file("dst/removed.txt", "removed");
    rig.file("src/both/inner.txt", "inner", 600);
    rig.file("dst/both/inner.txt", "stale");
    rig.file("dst/both/stray.txt", "stray");
    rig.file("src/fresh/deep/file.txt", "deep");
    rig.file("dst/obsolete/deep/file.txt", "gone");
}

TEST(SynchroniserTest, ARunMakesTheTargetMatchTheSourceAndASecondRunDoesNothing) {
    SyncRig rig;
    buildMixedTrees(rig);

    const RunOutcome outcome = rig.run();
    EXPECT_FALSE(outcome.failed || outcome.interrupted || outcome.cancelled || outcome.exitRequested);
    EXPECT_EQ(rig.tree("dst"), rig.tree("src"));
    for (const std::string& path : rig.tree("src")) {
        if (path.back() != '/') {
            EXPECT_EQ(rig.read("dst/" + path), rig.read("src/" + path)) << path;
        }
    }
    EXPECT_THAT(rig.results.problems, IsEmpty());

    const SyncCounts& counts = rig.results.counts;
    EXPECT_EQ(counts.overwrittenFiles, 2);
    EXPECT_EQ(counts.addedFiles, 2);
    EXPECT_EQ(counts.addedFolders, 2);
    EXPECT_EQ(counts.deletedFiles, 3);
    EXPECT_EQ(counts.deletedFolders, 2);
    EXPECT_THAT(rig.relative(rig.results.overwritten), ElementsAre("dst/both/inner.txt", "dst/changed.txt"));

    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    const SyncResults& report = rig.frontEnd.reports[0];
    EXPECT_EQ(report.lastHeadline, "Synchronisation done:\n");
    EXPECT_EQ(report.lastSource, rig.source);
    EXPECT_EQ(report.lastTarget, rig.target);
    EXPECT_EQ(rig.frontEnd.runningStates.back(), RunningState::Idle);
    EXPECT_EQ(rig.flags.runningState, RunningState::Idle);
    EXPECT_FALSE(rig.flags.interruptedRun);
    EXPECT_EQ(rig.results.workDone, 0u);
    EXPECT_GT(rig.results.workTotal, 0u);

    std::vector<std::string> phases;
    for (const ProgressView& view : rig.frontEnd.progressViews)
        if (phases.empty() || phases.back() != view.phase)
            phases.push_back(view.phase);
    EXPECT_THAT(phases, ElementsAre("Analysing", "Execution", ""));
    EXPECT_EQ(rig.frontEnd.activities().at(1), "Checking folder: " + rig.source); // after the empty one

    rig.run();
    EXPECT_TRUE(rig.actions.empty());
    EXPECT_EQ(rig.results.counts.addedFiles, 0);
    EXPECT_EQ(rig.frontEnd.reports.size(), 2u);
}

TEST(SynchroniserTest, TheCheckListSeesEveryPlannedTargetAndItsPruningIsKept) {
    SyncRig rig;
    buildMixedTrees(rig);
    rig.options.checkActions = true;
    CheckListSets seen;
    rig.frontEnd.checkListAnswer = [&](CheckListSets& sets) {
        seen = sets;
        // Keep the added file out, and the deleted folder.
        std::erase_if(sets.filesToAdd, [](const FileItemPtr& item) { return item->name == "added.txt"; });
        sets.foldersToDelete.clear();
        return true;
    };

    rig.run();
    auto names = [](const std::vector<FileItemPtr>& items) {
        std::vector<std::string> result;
        for (const FileItemPtr& item : items)
            result.push_back(item->name);
        return result;
    };
    EXPECT_THAT(names(seen.filesToOverwrite), ElementsAre("inner.txt", "changed.txt")); // by source path
    EXPECT_THAT(names(seen.filesToAdd), ElementsAre("added.txt"));
    EXPECT_THAT(names(seen.filesToDelete), ElementsAre("stray.txt", "removed.txt"));
    EXPECT_THAT(names(seen.foldersToAdd), ElementsAre("fresh"));
    EXPECT_THAT(names(seen.foldersToDelete), ElementsAre("obsolete"));

    EXPECT_FALSE(TempDir::exists(rig.dir.at("dst/added.txt")));
    EXPECT_TRUE(TempDir::exists(rig.dir.at("dst/obsolete/deep/file.txt")));
    EXPECT_FALSE(TempDir::exists(rig.dir.at("dst/removed.txt")));
    EXPECT_EQ(rig.read("dst/changed.txt"), "new content");
}

TEST(SynchroniserTest, CancellingTheCheckListEndsTheRunWithoutExecutionOrReport) {
    SyncRig rig;
    buildMixedTrees(rig);
    const auto before = rig.tree("dst");

    const RunOutcome outcome = rig.analyse();
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.interrupted);
    EXPECT_EQ(rig.tree("dst"), before);
    EXPECT_THAT(rig.frontEnd.reports, IsEmpty());
    EXPECT_FALSE(rig.flags.interruptedRun);
    EXPECT_FALSE(rig.actions.empty()); // kept for the lists
}

TEST(SynchroniserTest, TheLogHooksAndTheExitRequestFollowTheOptions) {
    SyncRig rig;
    rig.file("src/a.txt", "a");
    std::vector<std::string> calls;
    Synchroniser synchroniser(rig.context, {[&](const SyncResults& results) {
                                                calls.push_back(results.lastHeadline);
                                                return 0;
                                            },
                                            [&] { calls.push_back("close"); }});

    synchroniser.synchronise(rig.source, rig.target);
    EXPECT_THAT(calls, ElementsAre("Synchronisation done:\n"));

    rig.options.logOn = true;
    rig.options.exitOnCompletion = true;
    const RunOutcome outcome = synchroniser.synchronise(rig.source, rig.dir.at("missing/"));
    EXPECT_TRUE(outcome.exitRequested);
    EXPECT_THAT(calls, ElementsAre("Synchronisation done:\n", "Synchronisation failed\n", "close"));
}

TEST(SynchroniserTest, ANewRunStartsFromCleanResultsAndFlags) {
    SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.run();
    rig.flags.yesToAllFiles = true;
    rig.flags.noToAllFolders = true;
    rig.flags.stopRequest = true; // a Stop pressed between runs does not stop the next one

    rig.options.confirmDeletes = true;
    rig.file("dst/b.txt", "b");
    rig.dir.makeFolder("dst/c");
    rig.frontEnd.deleteAnswers = {DeleteAnswer::No, DeleteAnswer::Yes};
    rig.run();
    EXPECT_EQ(rig.frontEnd.confirmations.size(), 2u);
    EXPECT_EQ(rig.results.counts.addedFiles, 0);
    EXPECT_THAT(rig.tree("dst"), ElementsAre("a.txt", "b.txt"));
    EXPECT_THAT(rig.relative(rig.results.added), IsEmpty());
    EXPECT_EQ(rig.frontEnd.reports.back().lastHeadline, "Synchronisation done:\n");
}

} // namespace
} // namespace velmora::test
