// The disk changes under a run: a source folder that goes or cannot be read never makes the run
// delete what the target holds there, and a file that goes before its command is reported.
#include "engine/SyncRig.h"

#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class VanishingSourceTest : public testing::Test {
protected:
    SyncRig rig;

    // Two folder pairs; "a" has a target-only file that a good run deletes, "b" as well.
    void SetUp() override {
        rig.file("src/a/kept.txt", "a");
        rig.file("dst/a/kept.txt", "a");
        rig.file("dst/a/stale.txt", "stale a");
        rig.file("src/b/kept.txt", "b");
        rig.file("dst/b/kept.txt", "b");
        rig.file("dst/b/only-here.txt", "only here");
        rig.dir.makeFolder("dst/b/only-here-folder/inner");
    }
};

TEST_F(VanishingSourceTest, ASourceFolderThatVanishesDuringTheRunPlansNoDeletesForIt) {
    // While the target's top folder is listed, the source's "b" (already listed) goes away.
    bool moved = false;
    rig.frontEnd.onPump = [&](long) {
        if (!moved && rig.fs.calls(FsOp::ListFolder) == 2) {
            moved = true;
            ASSERT_EQ(std::rename(rig.dir.at("src/b").c_str(), rig.dir.at("moved-b").c_str()), 0);
        }
    };

    rig.run();
    ASSERT_TRUE(moved);
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::analyseDirectory (src): Could not access folder: " + rig.source + "b/",
                    "No such file or directory"));
    EXPECT_THAT(rig.tree("dst"), ElementsAre("a/", "a/kept.txt", "b/", "b/kept.txt", "b/only-here-folder/",
                                             "b/only-here-folder/inner/", "b/only-here.txt"));
}

TEST_F(VanishingSourceTest, ASourceFolderThatCannotBeReadPlansNoDeletesForIt) {
    // Listings: the two top folders, then the source's "a".
    rig.fs.failOn(FsOp::ListFolder, EACCES, 3);

    rig.run();
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::analyseDirectory (src): Could not read folder: " + rig.source + "a/",
                    "Permission denied"));
    EXPECT_THAT(rig.tree("dst"), ElementsAre("a/", "a/kept.txt", "a/stale.txt", "b/", "b/kept.txt"));
}

TEST_F(VanishingSourceTest, ASourceTopFolderThatCannotBeReadFailsTheRunAndChangesNothing) {
    rig.fs.failOn(FsOp::ListFolder, EIO, 1);
    const std::vector<std::string> before = rig.dir.listTree();

    EXPECT_TRUE(rig.run().failed);
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
    EXPECT_THAT(rig.results.problems,
                ElementsAre("CSynchroniserDlg::analyseDirectory (src): Could not read folder: " + rig.source,
                            "Input/output error"));
    EXPECT_EQ(rig.dir.listTree(), before);
}

TEST_F(VanishingSourceTest, FilesThatVanishBeforeTheirCommandsAreReportedAndTheRunGoesOn) {
    rig.file("src/changed.txt", "new", 3600);
    rig.file("dst/changed.txt", "old");
    rig.file("src/new.txt", "new");
    rig.file("src/later.txt", "later");
    rig.file("src/new-folder/x.txt", "x");
    rig.file("dst/gone.txt", "gone");
    rig.options.checkActions = true;
    // Between the analysis and the execution.
    rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
        std::remove(rig.dir.at("src/changed.txt").c_str());
        std::remove(rig.dir.at("src/new.txt").c_str());
        std::remove(rig.dir.at("dst/gone.txt").c_str());
        std::remove(rig.dir.at("src/new-folder/x.txt").c_str());
        std::remove(rig.dir.at("src/new-folder").c_str());
        return true;
    };

    rig.run();
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre(
            "CSynchroniserDlg::processFiles (overwrite): Could not copy file: " + rig.target + "changed.txt",
            "No such file or directory",
            "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.target + "new.txt",
            "No such file or directory",
            "CSynchroniserDlg::processFiles (delete): Could not delete file: " + rig.target + "gone.txt",
            "No such file or directory",
            "CSynchroniserDlg::copyDirectory: Could not read folder: " + rig.source + "new-folder",
            "No such file or directory"));
    EXPECT_EQ(rig.read("dst/changed.txt"), "old");
    EXPECT_EQ(rig.read("dst/later.txt"), "later");
    EXPECT_EQ(rig.results.counts.addedFiles, 1u);
    EXPECT_THAT(rig.dir.temporaryFiles("dst"), IsEmpty());
}

TEST_F(VanishingSourceTest, ASourceFileSwappedForAFifoIsNeitherOpenedNorWaitedFor) {
    rig.file("src/pipe", "a file at analysis time");
    rig.options.checkActions = true;
    rig.options.commandTimeout = 0; // a copy stuck on the FIFO would hang the test, not time out
    rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
        std::remove(rig.dir.at("src/pipe").c_str());
        EXPECT_EQ(::mkfifo(rig.dir.at("src/pipe").c_str(), 0600), 0);
        return true;
    };

    rig.run();
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.target + "pipe",
                    "Operation not supported"));
    EXPECT_FALSE(TempDir::exists(rig.dir.at("dst/pipe")));
    EXPECT_THAT(rig.dir.temporaryFiles("dst"), IsEmpty());
}

} // namespace
} // namespace velmora::test
