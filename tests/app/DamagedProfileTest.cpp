#include "ControllerRig.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

// A profile whose "compare_on_time=1" was mistyped, so that its exclusions were never read: opening
// it tells the user where reading stopped, and nothing ever runs it unseen.
TEST(DamagedProfileTest, IsShownWhenOpenedAndNeverRunUnseen) {
    ControllerRig rig;
    Profile original = rig.profileFor("d", 1);
    original.deleteMissing = false;
    original.silentMode = true; // even a silent profile shows the notice
    original.exclusions.addWildcard("*.tmp");
    std::ostringstream text;
    original.write(text);
    std::string broken = text.str();
    broken.replace(broken.find("compare_on_time=1"), 17, "compare_on_time=yes");
    const std::string path = rig.dir.writeFile("damaged.vmp", broken);
    rig.dir.makeFolder("d/one");
    rig.dir.writeFile("d/two/keep.tmp", "protected");
    const std::string notice =
        path +
        " is damaged: reading stopped at line 12 (compare_on_time). Check the profile before you run it.";

    // Named on the command line with automatic start: opened, shown, not started.
    EXPECT_EQ(rig.start(path), AutoStart::None);
    EXPECT_EQ(rig.app->currentProfilePath(), path);
    EXPECT_EQ(rig.messagesWith(notice), 1);
    rig.app->runAutoStart();
    EXPECT_TRUE(rig.frontEnd.reports.empty());
    EXPECT_TRUE(rig.exists("d/two/keep.tmp"));

    // The batch list refuses it with the same text; a batch run skips it.
    {
        auto session = rig.app->batchList();
        rig.app->addBatchFiles(session.model, {path});
        EXPECT_TRUE(session.model.entries().empty());
    }
    EXPECT_EQ(rig.messagesWith(notice), 2);
    const std::string batch = rig.writeBatch("all.vmb", {path});
    ASSERT_TRUE(rig.app->openFile(batch));
    const BatchOutcome outcome = rig.app->runBatch();
    ASSERT_EQ(outcome.steps.size(), 1u);
    EXPECT_EQ(outcome.steps[0].result, BatchStep::Result::Damaged);
    EXPECT_EQ(rig.messagesWith(notice), 3);
    EXPECT_TRUE(rig.exists("d/two/keep.tmp"));

    // Saved after the user has seen it, the file is whole again.
    ASSERT_TRUE(rig.app->openFile(path));
    ASSERT_TRUE(rig.app->save());
    EXPECT_FALSE(rig.app->profile().damaged());
    EXPECT_EQ(rig.restart().startUp(path), AutoStart::Synchronise12);
    EXPECT_EQ(rig.messagesWith(notice), 4);
}

} // namespace
} // namespace velmora
