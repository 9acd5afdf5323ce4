#include "ControllerRig.h"
#include "profiles/StoredSettings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

TEST(FilesTest, ProfileValuesReachTheWindowAndOpenPathIsStored) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p", 2);
    profile.silentMode = true;
    profile.compareOnTime = false;
    profile.adjustMinutes = -30;
    profile.copyAttributes = true;
    profile.deleteMissing = false;
    const std::string path = rig.writeProfile("p.vmp", profile);
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    AppController& app = *rig.app;
    EXPECT_EQ(readOpenPath(rig.settings), path);
    EXPECT_TRUE(app.silent());
    EXPECT_FALSE(app.options().deleteMissing);
    EXPECT_TRUE(app.compareOnSize());
    EXPECT_EQ(app.adjustMinutes(), -30);
    EXPECT_TRUE(app.copyAttributes());
    EXPECT_TRUE(app.autoStartOn());
    EXPECT_EQ(app.autoStartDirection(), Direction::TwoToOne);
    EXPECT_EQ(app.recentLocations(Location::Two)[0], rig.dir.at("p/two/"));
    EXPECT_FALSE(app.controlState().save.enabled);
    EXPECT_FALSE(app.openFile(rig.dir.writeFile("notes.txt", "x")));
}

TEST(FilesTest, FileThatIsNotAProfileLeavesNothingOpen) {
    ControllerRig rig;
    const std::string good = rig.writeProfile("good.vmp", rig.profileFor("g"));
    const std::string bad = rig.dir.writeFile("bad.vmp", "nonsense\r\n");
    rig.start();
    ASSERT_TRUE(rig.app->openFile(good));
    EXPECT_FALSE(rig.app->openFile(bad));
    EXPECT_EQ(rig.messagesWith(bad + " is not a valid Velmora profile"), 1);
    EXPECT_EQ(rig.app->currentProfilePath(), "");
    EXPECT_EQ(rig.app->selectorText(), "");
    // Save now asks for a name instead of writing defaults over the good file.
    EXPECT_FALSE(rig.app->save());
    ASSERT_EQ(rig.frontEnd.fileRequests.size(), 1u);
    EXPECT_EQ(rig.frontEnd.fileRequests[0].kind, FileChoice::Kind::Save);
}

TEST(FilesTest, OpeningABatchThatCannotBeReadKeepsTheProfile) {
    ControllerRig rig;
    const std::string good = rig.writeProfile("good.vmp", rig.profileFor("g"));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(good));
    rig.app->chooseLocation(Location::One, rig.dir.at("elsewhere/"));
    EXPECT_FALSE(rig.app->openFile(rig.dir.at("missing.vmb")));
    EXPECT_EQ(rig.app->currentProfilePath(), good);
    EXPECT_EQ(rig.app->profile().location1, rig.dir.at("elsewhere/"));
    EXPECT_TRUE(rig.app->profile().modified);
}

TEST(FilesTest, SaveAsWithNothingOpenKeepsWhatTheWindowShows) {
    ControllerRig rig;
    rig.settings.writeString("Location1A", "/from/settings/");
    rig.settings.writeNumber("CheckDel", 1);
    rig.settings.writeNumber("CheckActions", 0);
    rig.start();
    const std::string path = rig.dir.at("new.vmp");
    rig.frontEnd.fileChoices = {{path}};
    ASSERT_TRUE(rig.app->save());
    EXPECT_EQ(rig.frontEnd.fileRequests.at(0).defaultExtension, "vmp");
    EXPECT_EQ(rig.app->selectorText(), path);
    EXPECT_EQ(rig.app->currentProfilePath(), path);
    EXPECT_EQ(rig.app->recentFiles().front(), path);

    AppController& again = rig.restart();
    ASSERT_TRUE(again.openFile(path));
    EXPECT_EQ(again.locationText(Location::One), "/from/settings/");
    EXPECT_TRUE(again.options().confirmDeletes);
}

TEST(FilesTest, CloseOffersToSaveAModifiedProfileAndKeepsTheBoxes) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    rig.app->setOption(OptionBox::OverwriteReadOnly, true);
    rig.frontEnd.questionAnswers = {true};
    rig.app->closeFile();
    ASSERT_EQ(rig.frontEnd.questions.size(), 1u);
    EXPECT_EQ(rig.frontEnd.questions[0],
              "The current profile has been modified.\nDo you wish to save your changes?");
    EXPECT_EQ(rig.app->currentProfilePath(), "");
    EXPECT_EQ(rig.app->selectorText(), "");
    EXPECT_TRUE(rig.app->options().overwriteReadOnly);
    EXPECT_FALSE(rig.app->controlState().close.enabled);

    ASSERT_TRUE(rig.app->openFile(path));
    EXPECT_TRUE(rig.app->profile().overwriteReadOnly);
}

TEST(ExitTest, ExitWritesTheRememberedValues) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    rig.app->setOption(OptionBox::AddMissing, false);
    rig.app->setOption(OptionBox::CheckActions, false);
    rig.app->setOption(OptionBox::ConfirmDeletes, true);
    {
        auto moreOptions = rig.app->moreOptions();
        moreOptions.model.hoursText = "-1";
        ASSERT_FALSE(rig.app->acceptMoreOptions(moreOptions.model));
    }
    rig.app->typeLocation(Location::Two, "/typed");
    rig.app->locationFocusLost(Location::Two);
    rig.frontEnd.questionAnswers = {false};
    ASSERT_TRUE(rig.app->exit());
    EXPECT_TRUE(rig.app->finished());
    EXPECT_EQ(rig.frontEnd.questions.size(), 1u);

    const SettingsStore stored(rig.settingsPath);
    const ProfileOptions options = readOptionSettings(stored);
    EXPECT_FALSE(options.addMissing);
    EXPECT_TRUE(options.confirmDeletes);
    EXPECT_FALSE(options.checkActions);
    EXPECT_EQ(options.adjustHours, -1);
    EXPECT_EQ(stored.readNumber("AdjustHours"), 4294967295u);
    const RecentLists recent = readRecentLists(stored);
    EXPECT_EQ(recent.location1[0], rig.dir.at("p/one/"));
    EXPECT_EQ(recent.location2[0], "/typed/");
    EXPECT_EQ(recent.location2[1], rig.dir.at("p/two/"));
    EXPECT_EQ(recent.files, std::vector<std::string>{path});
    EXPECT_EQ(recent.profilePath, path);
    // Answered No: the file keeps its old values.
    AppController& again = rig.restart();
    ASSERT_TRUE(again.openFile(path));
    EXPECT_TRUE(again.options().addMissing);
}

} // namespace
} // namespace velmora
