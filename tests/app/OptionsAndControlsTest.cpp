#include "ControllerRig.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

TEST(OptionsTest, SilentModeClearsAndDisablesTheCheckListAndConfirmation) {
    ControllerRig rig;
    rig.start();
    AppController& app = *rig.app;
    ASSERT_TRUE(app.setOption(OptionBox::CheckActions, false));
    ASSERT_TRUE(app.setOption(OptionBox::ConfirmDeletes, true));
    ASSERT_TRUE(app.setOption(OptionBox::CheckActions, true));
    // The check-list makes confirmation redundant.
    EXPECT_FALSE(app.options().confirmDeletes);
    EXPECT_FALSE(app.controlState().confirmDeletes.enabled);
    EXPECT_FALSE(app.setOption(OptionBox::ConfirmDeletes, true));

    ASSERT_TRUE(app.setOption(OptionBox::SilentMode, true));
    EXPECT_FALSE(app.options().checkActions);
    EXPECT_FALSE(app.options().confirmDeletes);
    EXPECT_TRUE(app.silent());
    ControlState state = app.controlState();
    EXPECT_FALSE(state.checkActions.enabled);
    EXPECT_FALSE(state.confirmDeletes.enabled);
    EXPECT_TRUE(state.silentLabels.visible);
    EXPECT_EQ(state.runningFrameCaption, "Silent Running");
    EXPECT_FALSE(app.setOption(OptionBox::CheckActions, true));
    EXPECT_TRUE(app.profile().silentMode);
    EXPECT_FALSE(app.profile().checkActions);

    ASSERT_TRUE(app.setOption(OptionBox::SilentMode, false));
    state = app.controlState();
    EXPECT_TRUE(state.checkActions.enabled);
    EXPECT_TRUE(state.confirmDeletes.enabled);
    EXPECT_FALSE(app.options().checkActions);
    EXPECT_FALSE(app.options().confirmDeletes);
    EXPECT_FALSE(app.silent());
    EXPECT_EQ(state.runningFrameCaption, "Running");
}

TEST(OptionsTest, RunTakesTheBoxesTheProfileAndTheConfiguration) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p");
    profile.compareOnTime = false;
    profile.adjustHours = -2;
    profile.copyAttributes = true;
    const std::string path = rig.writeProfile("p.vmp", profile);
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    rig.app->setOption(OptionBox::DeleteMissing, false);
    GeneralSettings general;
    general.timeDifference = 7;
    general.commandTimeout = 20;
    rig.app->configurationAccepted(general);

    const SyncOptions o = rig.app->runOptions();
    EXPECT_FALSE(o.deleteMissing);
    EXPECT_TRUE(o.addMissing);
    EXPECT_FALSE(o.compareOnTime);
    EXPECT_EQ(o.adjustHours, -2);
    EXPECT_TRUE(o.copyAttributes);
    EXPECT_EQ(o.requiredTimeDifference, 7u);
    EXPECT_EQ(o.commandTimeout, 20u);
    EXPECT_EQ(rig.settings.readNumber("CommandTimeout"), 20u);
}

TEST(ControlsTest, HideOtherButtonShowsOnlyTheAutoStartDirection) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p", 1);
    profile.hideOtherButton = true;
    const std::string one = rig.writeProfile("one.vmp", profile);
    profile.autoStart = AutoStartDirection::Off;
    const std::string none = rig.writeProfile("none.vmp", profile);
    rig.start();

    ASSERT_TRUE(rig.app->openFile(one));
    ControlState state = rig.app->controlState();
    EXPECT_TRUE(state.synchronise12.visible);
    EXPECT_FALSE(state.synchronise21.visible);

    // With nothing open the buttons stay as they were.
    rig.app->closeFile();
    EXPECT_FALSE(rig.app->controlState().synchronise21.visible);

    // Without automatic start there is no direction to keep: both show.
    ASSERT_TRUE(rig.app->openFile(none));
    state = rig.app->controlState();
    EXPECT_TRUE(state.synchronise12.visible);
    EXPECT_TRUE(state.synchronise21.visible);
}

TEST(ControlsTest, RunningDisablesEditingAndShowsProgress) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    EXPECT_FALSE(rig.app->controlState().lastReport.enabled);

    std::vector<ControlState> seen;
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() != RunningState::Idle && seen.empty())
            seen.push_back(rig.app->controlState());
    };
    ASSERT_TRUE(rig.app->synchronise(Direction::TwoToOne));
    ASSERT_EQ(seen.size(), 1u);
    const ControlState& running = seen[0];
    for (const ControlView* control :
         {&running.open, &running.save, &running.saveAs, &running.location1, &running.addMissing,
          &running.exit, &running.batch, &running.lastReport, &running.moreOptions})
        EXPECT_FALSE(control->enabled);
    EXPECT_TRUE(running.stop.enabled);
    EXPECT_TRUE(running.progress.visible);
    EXPECT_TRUE(running.runningFrame21.visible);
    EXPECT_FALSE(running.runningFrame12.visible);

    const ControlState idle = rig.app->controlState();
    EXPECT_FALSE(idle.stop.enabled);
    EXPECT_FALSE(idle.progress.visible);
    EXPECT_TRUE(idle.exit.enabled);
    EXPECT_TRUE(idle.lastReport.enabled);
}

} // namespace
} // namespace velmora
