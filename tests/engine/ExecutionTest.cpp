#include "SyncRig.h"
#include "support/Unprivileged.h"

#include <cerrno>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ExecutionTest, AFolderToDeleteHoldingAnExcludedFileStaysWithTwoProblemLines) {
    SyncRig rig;
    rig.file("dst/old/keep.txt", "excluded");
    rig.file("dst/old/junk.txt", "x");
    rig.file("dst/old/deeper/junk2.txt", "x");
    rig.exclude("dst/old/keep.txt");

    rig.run();
    EXPECT_THAT(rig.tree("dst"), ElementsAre("old/", "old/keep.txt"));
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::deleteDirectory: Could not delete folder: " + rig.dir.at("dst/old"),
                    "Directory not empty"));
    EXPECT_THAT(rig.relative(rig.results.failedDeletedFolders), ElementsAre("dst/old"));
    EXPECT_TRUE((*rig.results.failedDeletedFolders.begin())->failed);
    EXPECT_THAT(rig.relative(rig.results.deleted),
                ElementsAre("dst/old/deeper/junk2.txt", "dst/old/junk.txt"));
    EXPECT_THAT(rig.relative(rig.results.deletedFolders), ElementsAre("dst/old/deeper"));
    EXPECT_EQ(rig.results.counts.deletedFiles, 2);
    EXPECT_EQ(rig.results.counts.deletedFolders, 1);
}

TEST(ExecutionTest, DeletingAFolderTreeRemovesLinksButNeverWhatTheyPointAt) {
    SyncRig rig;
    rig.file("precious/data.txt", "keep");
    rig.dir.makeFolder("dst/old");
    rig.dir.makeLink("dst/old/to-folder", rig.dir.at("precious"));
    rig.dir.makeLink("dst/old/to-file", rig.dir.at("precious/data.txt"));

    rig.run();
    EXPECT_THAT(rig.tree("dst"), IsEmpty());
    EXPECT_EQ(rig.read("precious/data.txt"), "keep");
    EXPECT_THAT(rig.results.problems, IsEmpty());
}

TEST(ExecutionTest, AFolderToAddIsCopiedWholeWithoutItsExcludedEntries) {
    SyncRig rig;
    rig.file("src/new/a.txt", "a");
    rig.file("src/new/skip.txt", "s");
    rig.file("src/new/sub/b.txt", "b");
    rig.file("src/new/skipped/c.txt", "c");
    rig.dir.makeLink("src/new/link", "a.txt");
    rig.exclude("src/new/skip.txt");
    rig.exclude("src/new/skipped");

    rig.run();
    EXPECT_THAT(rig.tree("dst"),
                ElementsAre("new/", "new/a.txt", "new/link -> a.txt", "new/sub/", "new/sub/b.txt"));
    EXPECT_EQ(rig.read("dst/new/sub/b.txt"), "b");
    EXPECT_EQ(rig.results.counts.addedFolders, 2);
    EXPECT_EQ(rig.results.counts.addedFiles, 3);
    EXPECT_THAT(rig.relative(rig.results.addedFolders), ElementsAre("dst/new", "dst/new/sub"));
    // Both sides' tops for the analysis, and each folder to add once: its estimate's listing
    // serves its copy.
    EXPECT_EQ(rig.fs.calls(FsOp::ListFolder), 5);
}

TEST(ExecutionTest, NewFoldersGetNoMoreBitsThanTheirSourceAndAReadOnlyOneIsFilledFirst) {
    // As an ordinary user, whom a read-only folder refuses its contents.
    VELMORA_SKIP_UNLESS_ROOT();
    struct Case {
        bool copyAttributes;
        unsigned privateMode, readOnlyMode, groupMode; // of the new target folders
    };
    for (const Case& c : {Case{false, 0700, 0755, 0755}, Case{true, 0700, 0555, 0775}}) {
        SyncRig rig;
        rig.options.copyAttributes = c.copyAttributes;
        rig.options.parallelCommands = 4; // the contents are still in flight when their folder's loop ends
        rig.dir.openToEveryone();
        rig.dir.setMode("src", 0777);
        rig.dir.setMode("dst", 0777);
        const auto result = runUnprivileged([&] {
            ::umask(022);
            for (const char* file : {"src/private/secret", "src/ro/a", "src/ro/sub/b", "src/group/c"})
                rig.file(file, "x");
            rig.dir.setMode("src/private", 0700);
            rig.dir.setMode("src/ro/sub", 0555);
            rig.dir.setMode("src/ro", 0555);
            rig.dir.setMode("src/group", 0775);
            rig.run();
            auto mode = [&](const char* path) {
                struct stat info {};
                return ::lstat(rig.dir.at(path).c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
            };
            const bool right = rig.results.problems.empty() && rig.results.counts.addedFiles == 4 &&
                               mode("dst/private") == c.privateMode && mode("dst/ro") == c.readOnlyMode &&
                               mode("dst/ro/sub") == c.readOnlyMode && mode("dst/group") == c.groupMode;
            rig.dir.setMode("src/ro/sub", 0755); // so that the folder can go at the end
            rig.dir.setMode("src/ro", 0755);
            return right ? 0 : 1;
        });
        ASSERT_TRUE(result.ran) << result.problem;
        EXPECT_EQ(result.value, 0) << "copy attributes " << c.copyAttributes;
    }
}

TEST(ExecutionTest, FailedCommandsAreRecordedAndTheRestGoesOn) {
    SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.file("src/b.txt", "b");
    rig.file("dst/c.txt", "c");
    rig.file("src/folder/d.txt", "d");
    rig.fs.failOn(FsOp::CopyFile, EIO, 1);
    rig.fs.failOn(FsOp::DeleteFile, EBUSY, 1);

    rig.run();
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.dir.at("dst/a.txt"),
                    "Input/output error",
                    "CSynchroniserDlg::processFiles (delete): Could not delete file: " +
                        rig.dir.at("dst/c.txt"),
                    "Device or resource busy"));
    EXPECT_THAT(rig.relative(rig.results.failedAdded), ElementsAre("dst/a.txt"));
    EXPECT_THAT(rig.relative(rig.results.failedDeleted), ElementsAre("dst/c.txt"));
    EXPECT_THAT(rig.tree("dst"), ElementsAre("b.txt", "c.txt", "folder/", "folder/d.txt"));
    EXPECT_EQ(rig.results.counts.addedFiles, 2);
}

TEST(ExecutionTest, AFolderThatCannotBeCreatedIsRecordedAndNotEntered) {
    SyncRig rig;
    rig.file("src/folder/d.txt", "d");
    rig.fs.failOn(FsOp::CreateFolder, EROFS, 1);

    rig.run();
    EXPECT_THAT(rig.results.problems, ElementsAre("CSynchroniserDlg::copyDirectory: Could not add folder: " +
                                                      rig.dir.at("dst/folder"),
                                                  "Read-only file system"));
    EXPECT_THAT(rig.relative(rig.results.failedAddedFolders), ElementsAre("dst/folder"));
    EXPECT_EQ(rig.fs.calls(FsOp::CopyFile), 0);
}

TEST(ExecutionTest, StopDuringOverwritesSkipsEverythingAfter) {
    SyncRig rig;
    rig.file("src/o1", "new", 1000);
    rig.file("dst/o1", "old");
    rig.file("src/o2", "new", 1000);
    rig.file("dst/o2", "old");
    rig.file("src/add.txt", "x");
    rig.file("dst/del.txt", "x");
    rig.file("src/newfolder/x", "x");
    rig.file("dst/oldfolder/x", "x");
    // Stop as soon as the first overwrite is done.
    rig.frontEnd.onPump = [&](long) {
        if (rig.results.counts.overwrittenFiles == 1)
            rig.flags.stopRequest = true;
    };

    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_EQ(rig.read("dst/o1"), "new");
    EXPECT_EQ(rig.read("dst/o2"), "old");
    EXPECT_THAT(rig.tree("dst"), ElementsAre("del.txt", "o1", "o2", "oldfolder/", "oldfolder/x"));
    EXPECT_EQ(rig.frontEnd.activities().rbegin()[1], "Done");
    EXPECT_EQ(rig.frontEnd.reports.back().lastHeadline, "Synchronisation interrupted\n");
    EXPECT_EQ(rig.frontEnd.reports.back().interruption, "Synchronisation interrupted by Stop");
    EXPECT_TRUE(rig.flags.interruptedRun);
    EXPECT_FALSE(rig.flags.stopRequest);
}

TEST(ExecutionTest, ACopyGivenUpOnStopIsAFailureThatLeavesTheTargetAlone) {
    SyncRig rig;
    rig.file("src/o1", "new", 1000);
    rig.file("dst/o1", "old");
    rig.file("src/o2", "new", 1000);
    rig.file("dst/o2", "old");
    rig.fs.hang(FsOp::CopyFile);
    rig.frontEnd.onPump = [&](long) {
        if (rig.fs.calls(FsOp::CopyFile) == 1)
            rig.flags.stopRequest = true;
    };

    rig.run();
    rig.fs.release();
    EXPECT_THAT(rig.results.problems,
                ElementsAre("CSynchroniserDlg::processFiles (overwrite): Could not copy file: " +
                                rig.dir.at("dst/o1"),
                            "Stopped"));
    EXPECT_EQ(rig.fs.calls(FsOp::CopyFile), 1);
    EXPECT_EQ(rig.read("dst/o1"), "old");
    EXPECT_EQ(rig.frontEnd.reports.back().lastHeadline, "Synchronisation interrupted\n");
}

TEST(ExecutionTest, AStoppedFolderDeleteKeepsTheFolder) {
    SyncRig rig;
    rig.file("dst/old/a", "x");
    rig.file("dst/old/b", "x");
    rig.frontEnd.onPump = [&](long) {
        if (rig.results.counts.deletedFiles == 1)
            rig.flags.stopRequest = true;
    };

    rig.run();
    EXPECT_EQ(rig.tree("dst").size(), 2u); // the folder and one file
    EXPECT_EQ(rig.results.counts.deletedFolders, 0);
    EXPECT_THAT(rig.results.failedDeletedFolders, IsEmpty());
}

TEST(ExecutionTest, ATargetInsideTheSourceIsNotCopiedIntoItself) {
    SyncRig rig;
    rig.options.deleteMissing = false;
    rig.file("src/inner.txt", "i");
    rig.file("src/sub/x.txt", "x");
    rig.target = rig.dir.at("src/sub/");

    // Refused as a whole before anything is copied.
    EXPECT_TRUE(rig.run().failed);
    EXPECT_THAT(rig.tree("src"), ElementsAre("inner.txt", "sub/", "sub/x.txt"));
    EXPECT_EQ(rig.results.problems.size(), 2u);
}

TEST(ExecutionTest, AnEmptyActionListEndsWithDoneAndNoProgress) {
    SyncRig rig;
    rig.file("src/same.txt", "x");
    rig.file("dst/same.txt", "x");

    rig.run();
    const auto activities = rig.frontEnd.activities();
    ASSERT_GE(activities.size(), 2u);
    EXPECT_EQ(activities.rbegin()[1], "Done");
    EXPECT_EQ(activities.back(), "");
    for (const ProgressView& view : rig.frontEnd.progressViews) {
        EXPECT_EQ(view.barPosition, 0);
        EXPECT_EQ(view.percentText, "");
    }
    EXPECT_EQ(rig.frontEnd.reports.back().lastHeadline, "Synchronisation done:\n");
}

TEST(ExecutionTest, ProgressStaysWithinTheBarWhenTheWorkOutgrowsTheEstimate) {
    SyncRig rig;
    rig.file("src/new/a.txt", std::string(100000, 'a'));
    // The estimate's listing of the new folder (after both tops) fails and the copy's works:
    // what it copies was never counted, and the work done passes the total.
    rig.fs.failOn(FsOp::ListFolder, EIO, 3);

    rig.run();
    EXPECT_EQ(rig.read("dst/new/a.txt").size(), 100000u);
    int highest = 0;
    for (const ProgressView& view : rig.frontEnd.progressViews) {
        EXPECT_GE(view.barPosition, 0);
        EXPECT_LE(view.barPosition, 100);
        highest = std::max(highest, view.barPosition);
    }
    EXPECT_EQ(highest, 100);
}

} // namespace
} // namespace velmora::test
