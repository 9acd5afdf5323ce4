#include "engine/LocationOverlap.h"

#include "SyncRig.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(LocationOverlap, JudgesRealPathsNotTexts) {
    test::TempDir dir;
    dir.makeFolder("data/inner");
    dir.makeFolder("database");
    dir.makeLink("alias", dir.at("data"));
    const std::string data = dir.at("data/");
    EXPECT_EQ(locationOverlap(data, dir.at("data/")), Overlap::Same);
    EXPECT_EQ(locationOverlap(data, dir.at("alias/")), Overlap::Same);
    EXPECT_EQ(locationOverlap(data, dir.at("data/inner/../")), Overlap::Same);
    EXPECT_EQ(locationOverlap(data, dir.at("alias/inner/")), Overlap::TargetInsideSource);
    EXPECT_EQ(locationOverlap(dir.at("data/inner/"), data), Overlap::SourceInsideTarget);
    EXPECT_EQ(locationOverlap(data, dir.at("database/")), Overlap::None); // a shared prefix is not nesting
    EXPECT_EQ(locationOverlap(data, dir.at("missing/")), Overlap::None);
}

TEST(LocationOverlap, RunIsRefusedBeforeAnythingChanges) {
    test::SyncRig rig;
    rig.file("src/a.txt", "a");
    rig.file("src/inner/b.txt", "b");
    rig.options.deleteMissing = true;

    rig.target = rig.dir.at("src/inner/");
    RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.failed);
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
    ASSERT_EQ(rig.results.problems.size(), 2u);
    EXPECT_EQ(rig.results.problems[0],
              "CSynchroniserDlg::synchronise: Could not synchronise " + rig.source + " into " + rig.target);
    EXPECT_EQ(rig.results.problems[1], "The target folder is inside the source folder");

    // The other way round would plan the deletion of the source itself.
    std::swap(rig.source, rig.target);
    EXPECT_TRUE(rig.run().failed);
    EXPECT_EQ(rig.results.problems[1], "The source folder is inside the target folder");
    EXPECT_EQ(rig.tree("src"), (std::vector<std::string>{"a.txt", "inner/", "inner/b.txt"}));
}

} // namespace
} // namespace velmora
