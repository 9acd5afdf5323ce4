#include "SyncRig.h"
#include "platform/LatencyFileSystem.h"
#include "support/Unprivileged.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(AnalysisTest, WhereTheTargetIgnoresCaseNamesMatchSoAndAFileMeetingAFolderReplacesIt) {
    SyncRig rig;
    rig.fs.answerFoldsCase(true);
    rig.file("src/a.TXT", "new", 200);
    rig.file("dst/A.txt", "old");
    rig.file("src/x", "file now");
    rig.file("dst/x/inside", "was a folder");
    rig.file("src/y", "file now");
    rig.file("dst/Y/inside", "was a folder");

    rig.analyse();
    EXPECT_THAT(rig.targets(rig.actions.filesToOverwrite), ElementsAre("dst/A.txt"));
    EXPECT_EQ(rig.actions.filesToOverwrite.begin()->second->state, kOverwrite);
    EXPECT_THAT(rig.targets(rig.actions.filesToAdd), ElementsAre("dst/x", "dst/y"));
    EXPECT_THAT(rig.relative(rig.actions.foldersToDelete), ElementsAre("dst/x", "dst/Y"));
    EXPECT_THAT(rig.actions.filesToDelete, IsEmpty());

    // Executed, the folder goes first so that the file can take its place in the same run, also
    // when the two names differ in case alone.
    rig.options.checkActions = false;
    rig.run();
    EXPECT_THAT(rig.tree("dst"), ElementsAre("A.txt", "x", "y"));
    const std::vector<std::string> activities = rig.frontEnd.activities();
    const auto at = [&](const std::string& activity) {
        return std::find(activities.begin(), activities.end(), activity) - activities.begin();
    };
    EXPECT_LT(at("Deleting folder: " + rig.dir.at("dst/Y")), at("Adding file: " + rig.dir.at("dst/y")));
    EXPECT_EQ(rig.read("dst/A.txt"), "new");
    EXPECT_EQ(rig.read("dst/x"), "file now");
    EXPECT_THAT(rig.results.problems, IsEmpty());
}

TEST(AnalysisTest, WhereTheTargetTellsCaseApartANameWhoseCaseChangedIsReplacedWithoutLoss) {
    SyncRig rig;
    rig.fs.answerFoldsCase(false);
    rig.file("src/Make", "upper M");
    rig.file("src/make", "lower m");
    rig.file("dst/MAKE", "old");
    rig.file("src/report.txt", "report");
    rig.file("dst/Report.txt", "report");
    rig.file("src/Docs/a", "a");
    rig.file("dst/DOCS/a", "a");

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_THAT(rig.tree("dst"), ElementsAre("Docs/", "Docs/a", "Make", "make", "report.txt"));
    EXPECT_EQ(rig.read("dst/Make") + rig.read("dst/make") + rig.read("dst/report.txt"),
              "upper Mlower mreport");
}

// A case-blind disk whose kind the platform does not know: every name finds its file in any case.
class UnknownCaseBlindDisk : public platform::LatencyFileSystem {
public:
    UnknownCaseBlindDisk() : LatencyFileSystem(platform::realFileSystem(), std::chrono::microseconds(0)) {}
    bool foldsCase(const std::string&) override { return false; }
    int getAttributes(const std::string& path, platform::FileAttributes& out) override {
        const std::size_t slash = path.rfind('/') + 1;
        std::string upperFirst = path;
        upperFirst[slash] = static_cast<char>(std::toupper(static_cast<unsigned char>(path[slash])));
        return LatencyFileSystem::getAttributes(path, out) == 0
                   ? 0
                   : LatencyFileSystem::getAttributes(upperFirst, out);
    }
};

TEST(AnalysisTest, ANameFoundInAnotherCaseIsTheSameFileWhateverTheFileSystemKindSays) {
    UnknownCaseBlindDisk disk;
    SyncRig rig(disk);
    rig.file("src/report.txt", "new", 200);
    rig.file("dst/Report.txt", "old");
    rig.analyse();
    EXPECT_THAT(rig.targets(rig.actions.filesToOverwrite), ElementsAre("dst/Report.txt"));
    EXPECT_THAT(rig.actions.filesToDelete, IsEmpty());
    EXPECT_THAT(rig.actions.filesToAdd, IsEmpty());
}

TEST(AnalysisTest, ExcludedTargetFilesAreNeitherOverwrittenNorDeleted) {
    SyncRig rig;
    rig.file("src/keep.txt", "newer", 1000);
    rig.file("dst/keep.txt", "mine");
    rig.file("dst/extra.txt", "mine too");
    rig.file("dst/gone.txt", "not excluded");
    rig.exclude("dst/keep.txt");
    rig.exclude("dst/extra.txt");

    rig.run();
    EXPECT_THAT(rig.tree("dst"), ElementsAre("extra.txt", "keep.txt"));
    EXPECT_EQ(rig.read("dst/keep.txt"), "mine");
    EXPECT_EQ(rig.results.counts.deletedFiles, 1);
    EXPECT_EQ(rig.results.counts.overwrittenFiles, 0);
}

TEST(AnalysisTest, FoldersExcludedOnEitherSideAreNotEnteredNorDeleted) {
    SyncRig rig;
    rig.file("src/a/new.txt", "x");
    rig.file("dst/a/old.txt", "x");
    rig.file("src/b/new.txt", "x");
    rig.file("dst/b/old.txt", "x");
    rig.file("dst/c/old.txt", "x");
    rig.exclude("src/a");
    rig.exclude("dst/b");
    rig.exclude("dst/c");

    rig.analyse();
    EXPECT_TRUE(rig.actions.empty());
}

TEST(AnalysisTest, NoToAllForFilesStillAsksForFolders) {
    SyncRig rig;
    rig.options.confirmDeletes = true;
    rig.file("dst/f1", "x");
    rig.file("dst/f2", "x");
    rig.dir.makeFolder("dst/d1");
    rig.dir.makeFolder("dst/d2");
    rig.frontEnd.deleteAnswers = {DeleteAnswer::NoToAll, DeleteAnswer::Yes, DeleteAnswer::No};

    rig.analyse();
    ASSERT_EQ(rig.frontEnd.confirmations.size(), 3u);
    EXPECT_EQ(rig.frontEnd.confirmations[0].caption, "Delete File");
    EXPECT_EQ(rig.frontEnd.confirmations[0].lines[0], "Delete file: " + rig.dir.at("dst/f1"));
    EXPECT_EQ(rig.frontEnd.confirmations[1].caption, "Delete Sub-Folder");
    EXPECT_EQ(rig.frontEnd.confirmations[1].lines[0], "Delete sub-folder: " + rig.dir.at("dst/d1"));
    EXPECT_EQ(rig.frontEnd.confirmations[2].lines[0], "Delete sub-folder: " + rig.dir.at("dst/d2"));
    EXPECT_THAT(rig.actions.filesToDelete, IsEmpty());
    EXPECT_THAT(rig.relative(rig.actions.foldersToDelete), ElementsAre("dst/d1"));
    EXPECT_EQ(rig.actions.foldersToDelete.begin()->get()->state, kDelete);
}

TEST(AnalysisTest, ALongPathIsAskedOnThreeLinesAndAnEmptyFourth) {
    SyncRig rig;
    rig.options.confirmDeletes = true;
    const std::string folder(100, 'f');
    rig.dir.makeFolder("src/" + folder);
    const std::string prefix = "Delete file: " + rig.dir.at("dst/" + folder + "/");
    const std::string name(300 - prefix.size(), 'n');
    rig.file("dst/" + folder + "/" + name, "x");

    rig.analyse();
    ASSERT_EQ(rig.frontEnd.confirmations.size(), 1u);
    const auto& lines = rig.frontEnd.confirmations[0].lines;
    EXPECT_EQ(lines[0].size(), 120u);
    EXPECT_EQ(lines[1].size(), 120u);
    EXPECT_EQ(lines[2].size(), 60u);
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[0] + lines[1] + lines[2], prefix + name);
}

TEST(AnalysisTest, CancelInAConfirmationInterruptsTheRunBeforeAnythingIsDone) {
    SyncRig rig;
    rig.options.confirmDeletes = true;
    rig.file("src/new.txt", "x");
    rig.file("dst/f1", "x");
    rig.file("dst/f2", "x");
    rig.frontEnd.deleteAnswers = {DeleteAnswer::Cancel};

    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_TRUE(rig.flags.interruptedRun);
    EXPECT_FALSE(rig.flags.stopRequest);
    EXPECT_EQ(rig.frontEnd.confirmations.size(), 1u);
    EXPECT_THAT(rig.tree("dst"), ElementsAre("f1", "f2"));
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation interrupted\n");
    EXPECT_EQ(rig.frontEnd.reports[0].interruption,
              "Synchronisation interrupted by Cancel in a delete confirmation");
}

TEST(AnalysisTest, SilentModeAsksNothingAndPlansEveryDelete) {
    SyncRig rig;
    rig.options.confirmDeletes = true;
    rig.options.silentMode = true;
    rig.options.checkActions = true;
    rig.file("src/kept", "k");
    rig.file("dst/f1", "x");
    rig.file("dst/d1/f2", "x");

    rig.run();
    EXPECT_THAT(rig.frontEnd.confirmations, IsEmpty());
    EXPECT_EQ(rig.frontEnd.checkLists, 0);
    EXPECT_THAT(rig.tree("dst"), ElementsAre("kept"));
}

TEST(AnalysisTest, AMissingTargetLocationFailsTheRunWithTwoProblemLines) {
    SyncRig rig;
    rig.file("src/a.txt", "x");
    rig.target = rig.dir.at("nowhere/");

    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.failed);
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::analyseDirectory (dst): Could not access folder: " + rig.target,
                    "No such file or directory"));
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
    EXPECT_EQ(rig.frontEnd.reports[0].lastTarget, rig.target);
    EXPECT_FALSE(TempDir::exists(rig.target));
    EXPECT_EQ(rig.fs.calls(FsOp::CopyFile), 0);
    EXPECT_EQ(rig.flags.runningState, RunningState::Idle);
}

TEST(AnalysisTest, AnUnreadableSourceFolderPlansNothingForItsPairButTheRestGoesOn) {
    SyncRig rig;
    rig.file("src/sub/a.txt", "x");
    rig.file("dst/sub/only-in-target.txt", "keep me");
    rig.file("src/top.txt", "x");
    rig.file("dst/old.txt", "x");
    // Listings in order: src/, dst/, src/sub/.
    rig.fs.failOn(FsOp::ListFolder, EACCES, 3);

    const RunOutcome outcome = rig.run();
    EXPECT_FALSE(outcome.failed);
    EXPECT_THAT(rig.results.problems,
                ElementsAre("CSynchroniserDlg::analyseDirectory (src): Could not read folder: " +
                                rig.dir.at("src/sub/"),
                            "Permission denied"));
    EXPECT_THAT(rig.tree("dst"), ElementsAre("sub/", "sub/only-in-target.txt", "top.txt"));
    EXPECT_EQ(rig.frontEnd.reports.back().lastHeadline, "Synchronisation done:\n");
}

TEST(AnalysisTest, AnUnreadableTopSourceFolderFailsWithoutDeletingTheTarget) {
    VELMORA_SKIP_UNLESS_ROOT();
    SyncRig rig;
    rig.file("src/a.txt", "x");
    rig.file("dst/b.txt", "keep me");
    rig.dir.openToEveryone();
    rig.dir.setMode("src", 0);
    rig.dir.setMode("dst", 0777);
    rig.dir.setMode("dst/b.txt", 0666);

    // As an ordinary user, who cannot list src/.
    const auto result = runUnprivileged([&] {
        const RunOutcome outcome = rig.run();
        const bool expected =
            outcome.failed && rig.results.problems.size() == 2 &&
            rig.results.problems[0] ==
                "CSynchroniserDlg::analyseDirectory (src): Could not read folder: " + rig.source &&
            rig.results.problems[1] == "Permission denied" && TempDir::exists(rig.dir.at("dst/b.txt"));
        return expected ? 0 : 1;
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, 0);
    EXPECT_TRUE(TempDir::exists(rig.dir.at("dst/b.txt")));
}

TEST(AnalysisTest, WithoutSubFoldersFoldersAreLeftAlone) {
    SyncRig rig;
    rig.options.checkSubFolders = false;
    rig.file("src/only-source/a", "x");
    rig.file("dst/only-target/b", "x");
    rig.file("src/both/c", "x");
    rig.dir.makeFolder("dst/both");

    rig.analyse();
    EXPECT_TRUE(rig.actions.empty());
}

TEST(AnalysisTest, AFolderMissingDeepDownIsPlannedWhole) {
    SyncRig rig;
    rig.file("src/a/b/c/one.txt", "1");
    rig.file("src/a/b/two.txt", "2");
    rig.dir.makeFolder("dst/a");

    rig.analyse();
    EXPECT_THAT(rig.targets(rig.actions.foldersToAdd), ElementsAre("dst/a/b"));
    EXPECT_EQ(rig.actions.foldersToAdd.begin()->second->state, kAdd);
    EXPECT_THAT(rig.actions.filesToAdd, IsEmpty());
}

TEST(AnalysisTest, TimesAndSizesDecideWhatIsOverwritten) {
    SyncRig rig;
    rig.file("src/by121", "s", 121);
    rig.file("dst/by121", "t");
    rig.file("src/by120", "s", 120);
    rig.file("dst/by120", "t");
    rig.file("src/older", "s");
    rig.file("dst/older", "t", 500);
    rig.file("src/bigger", "ss");
    rig.file("dst/bigger", "t");

    rig.analyse();
    EXPECT_THAT(rig.targets(rig.actions.filesToOverwrite), ElementsAre("dst/by121"));

    rig.options.compareOnTime = false;
    rig.analyse();
    EXPECT_THAT(rig.targets(rig.actions.filesToOverwrite), ElementsAre("dst/bigger"));
}

} // namespace
} // namespace velmora::test
