#include "app/BatchList.h"

#include "ControllerRig.h"
#include "profiles/StoredSettings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

TEST(BatchListTest, MovesRemovalsAndButtons) {
    BatchList list({"a", "b", "c"});
    EXPECT_FALSE(list.canMoveUp() || list.canMoveDown() || list.canRemove());
    list.select({0});
    EXPECT_FALSE(list.canMoveUp());
    EXPECT_TRUE(list.canMoveDown());
    list.moveUp(); // the top stays
    list.moveDown();
    list.moveDown();
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(list.selection(), std::set<std::size_t>{2});
    EXPECT_FALSE(list.canMoveDown());
    list.moveDown();
    EXPECT_EQ(list.entries()[2], "a");

    // Several selected: only removal.
    list.select({0, 2, 9});
    EXPECT_EQ(list.selection(), (std::set<std::size_t>{0, 2}));
    EXPECT_FALSE(list.canMoveUp() || list.canMoveDown());
    EXPECT_TRUE(list.canRemove());
    list.remove();
    EXPECT_EQ(list.entries(), std::vector<std::string>{"c"});
    EXPECT_FALSE(list.canRemove());
}

TEST(BatchListTest, AddChecksEachProfileAndAcceptMarksTheBatchModified) {
    ControllerRig rig;
    const std::string good = rig.writeProfile("good.vmp", rig.profileFor("g", 2));
    const std::string manual = rig.writeProfile("manual.vmp", rig.profileFor("m", 0));
    const std::string bad = rig.dir.writeFile("bad.vmp", "nonsense\r\n");
    const std::string missing = rig.dir.at("missing.vmp");
    rig.start();
    // Messages inside the dialog are shown even in silent mode.
    rig.app->setOption(OptionBox::SilentMode, true);

    const std::string path = rig.dir.at("new.vmb");
    {
        auto session = rig.app->batchList();
        EXPECT_FALSE(rig.app->silent());
        rig.frontEnd.fileChoices = {{good, manual, bad, missing, good}};
        rig.app->addBatchFiles(session.model);
        EXPECT_EQ(session.model.entries(), (std::vector<std::string>{good, good}));
        EXPECT_EQ(rig.messagesWith("The profile " + manual +
                                   "\n must have Auto Start selected to be used as a batch profile"),
                  1);
        EXPECT_EQ(rig.messagesWith(bad + " is not a valid Velmora profile"), 1);
        EXPECT_EQ(rig.frontEnd.messages.size(), 2u);
        EXPECT_EQ(readOpenPath(rig.settings), good);

        // Nothing is open, so OK goes on to Save As with the batch's filter.
        rig.frontEnd.fileChoices = {{path}};
        rig.app->acceptBatchList(session.model);
    }
    EXPECT_TRUE(rig.app->silent());
    ASSERT_EQ(rig.frontEnd.fileRequests.size(), 2u);
    EXPECT_EQ(rig.frontEnd.fileRequests[0].kind, FileChoice::Kind::OpenSeveral);
    EXPECT_EQ(rig.frontEnd.fileRequests[1].defaultExtension, "vmb");
    EXPECT_EQ(rig.app->currentBatchPath(), path);
    EXPECT_FALSE(rig.app->batch().modified);

    // OK without changes still marks the batch modified, so exit asks.
    rig.app->acceptBatchList(rig.app->batchList().model);
    rig.frontEnd.questionAnswers = {false};
    rig.app->exit();
    ASSERT_EQ(rig.frontEnd.questions.size(), 1u);
    EXPECT_EQ(rig.frontEnd.questions[0],
              "The current batch file has been modified.\nDo you wish to save your changes?");
}

TEST(BatchListTest, BatchButtonClosesAnOpenProfile) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p", 1));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    EXPECT_TRUE(rig.app->batchList().model.entries().empty());
    EXPECT_EQ(rig.app->selectorText(), "");
    EXPECT_EQ(rig.app->currentProfilePath(), "");
}

} // namespace
} // namespace velmora
