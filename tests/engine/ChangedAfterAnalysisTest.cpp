// The plan is a promise about what was seen: what appears or changes in the target after the
// analysis (while the check-list waits, say) is never replaced or deleted.
#include "SyncRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

constexpr const char* kChanged = "The file changed after the analysis";

// One change a user makes in the target while the check-list is open, and what must survive it.
struct Change {
    const char* name;
    const char* path;      // under dst/
    const char* written;   // what the user writes there
    const char* problem;   // the first problem line, without the path
    const char* reason;    // the second
    std::size_t lines = 2; // a kept file also keeps its folder: two lines more
};

TEST(ChangedAfterAnalysisTest, WhatChangedInTheTargetAfterTheAnalysisIsLeftAloneAndReported) {
    const Change changes[] = {
        {"a new file where the plan adds one", "z_new", "mine",
         "CSynchroniserDlg::processFiles (add): Could not copy file: ", kChanged},
        {"a file the plan deletes, rewritten", "z_gone", "rewritten by the user",
         "CSynchroniserDlg::processFiles (delete): Could not delete file: ", kChanged},
        {"a file the plan overwrites, rewritten", "over", "rewritten by the user",
         "CSynchroniserDlg::processFiles (overwrite): Could not copy file: ", kChanged},
        {"a file in a folder being added", "fresh/inner", "mine",
         "CSynchroniserDlg::copyDirectory: Could not add file: ", kChanged},
        {"a file in a folder the plan deletes, rewritten", "old/seen", "rewritten by the user",
         "CSynchroniserDlg::deleteDirectory: Could not delete file: ", kChanged, 4},
        {"a new file in a folder the plan deletes", "old/new-here", "mine",
         "CSynchroniserDlg::deleteDirectory: Could not delete folder: ",
         "The folder changed after the analysis: new-here is new in it"},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        SyncRig rig;
        rig.file("src/z_new", "from the source");
        rig.file("src/over", "new version", 3600);
        rig.file("src/fresh/inner", "from the source");
        rig.file("dst/over", "old");
        rig.file("dst/z_gone", "stale");
        rig.file("dst/old/seen", "stale");
        rig.options.checkActions = true;
        rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
            rig.file(std::string("dst/") + change.path, change.written, 7200);
            return true;
        };

        rig.run();
        EXPECT_EQ(rig.read(std::string("dst/") + change.path), change.written);
        const std::string where = std::string(change.problem).ends_with("folder: ")
                                      ? rig.dir.at("dst/old")
                                      : rig.dir.at(std::string("dst/") + change.path);
        EXPECT_THAT(rig.results.problems, Contains(change.problem + where));
        EXPECT_THAT(rig.results.problems, Contains(change.reason));
        EXPECT_EQ(rig.results.problems.size(), change.lines) << testing::PrintToString(rig.results.problems);
    }
}

// Left alone, the rest of the plan runs as it was made.
TEST(ChangedAfterAnalysisTest, TheRestOfThePlanGoesOn) {
    SyncRig rig;
    rig.file("src/a", "a");
    rig.file("src/b", "b");
    rig.options.checkActions = true;
    rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
        rig.file("dst/a", "mine");
        return true;
    };
    rig.run();
    EXPECT_EQ(rig.read("dst/a"), "mine");
    EXPECT_EQ(rig.read("dst/b"), "b");
    EXPECT_EQ(rig.results.counts.addedFiles, 1);
    EXPECT_THAT(rig.relative(rig.results.failedAdded), ElementsAre("dst/a"));
}

} // namespace
} // namespace velmora::test
