#include "ControllerRig.h"
#include "profiles/StoredSettings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

TEST(StartUpTest, EmptyStoreGivesTheDefaultsAndNoFile) {
    ControllerRig rig;
    EXPECT_EQ(rig.start(), AutoStart::None);
    AppController& app = *rig.app;
    EXPECT_TRUE(app.general().showTooltips);
    EXPECT_EQ(app.general().timeDifference, 120u);
    EXPECT_EQ(app.general().commandTimeout, 300u);
    EXPECT_FALSE(app.controlState().iconButtons);
    for (Location side : {Location::One, Location::Two})
        for (const std::string& entry : app.recentLocations(side))
            EXPECT_EQ(entry, "");
    EXPECT_TRUE(app.recentFiles().empty());
    EXPECT_EQ(app.title(), "Velmora");
    const ProfileOptions& o = app.options();
    EXPECT_TRUE(o.addMissing && o.deleteMissing && o.checkSubFolders && o.checkActions);
    EXPECT_FALSE(o.confirmDeletes || o.overwriteReadOnly || o.silentMode || o.exitOnCompletion);
    // Nothing is written at start-up.
    EXPECT_FALSE(test::TempDir::exists(rig.settingsPath));
}

// A damaged settings file is kept whole beside the new one, and the user is told, before the
// program writes anything to it; what could be read still counts.
TEST(StartUpTest, ADamagedSettingsFileIsKeptAsideAndNamed) {
    ControllerRig rig;
    const std::string damaged = "n TimeDifference=600\n\x01\x02 binary junk\n";
    rig.dir.writeFile("settings.conf", damaged);
    rig.start();
    EXPECT_EQ(rig.app->general().timeDifference, 600u);
    EXPECT_EQ(test::TempDir::readFile(rig.settingsPath + ".damaged"), damaged);
    EXPECT_EQ(rig.messagesWith("It was kept as " + rig.settingsPath + ".damaged"), 1);
    EXPECT_EQ(rig.settings.check().kind, SettingsFileCheck::Kind::Sound);
}

TEST(StartUpTest, AutoStartProfileRunsOnlyWhenNamedOnTheCommandLine) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("back.vmp", rig.profileFor("p", 2));
    rig.dir.writeFile("p/two/news.txt", "from two");

    EXPECT_EQ(rig.start(path), AutoStart::Synchronise21);
    EXPECT_EQ(rig.app->currentProfilePath(), path);
    EXPECT_EQ(rig.app->title(), "Velmora - back");
    rig.app->runAutoStart();
    // Location 2 was the source.
    EXPECT_TRUE(rig.exists("p/one/news.txt"));
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    EXPECT_EQ(rig.app->autoStart(), AutoStart::None);
    ASSERT_TRUE(rig.app->exit());

    // The next start remembers the profile and opens it, but does not run it.
    AppController& again = rig.restart();
    EXPECT_EQ(again.startUp(""), AutoStart::None);
    EXPECT_EQ(again.currentProfilePath(), path);
    EXPECT_EQ(again.selectorText(), path);
    again.runAutoStart();
    EXPECT_EQ(rig.frontEnd.reports.size(), 1u);
}

TEST(StartUpTest, BatchOnTheCommandLineRunsAndKeepsTheStoredOptions) {
    ControllerRig rig;
    rig.settings.writeNumber("CheckDel", 1);
    rig.settings.writeNumber("CheckActions", 0);
    rig.settings.writeNumber("CompareTimeOrSize", 0);
    const std::string profile = rig.writeProfile("a.vmp", rig.profileFor("a", 1));
    const std::string batch = rig.writeBatch("all.vmb", {profile});

    EXPECT_EQ(rig.start(batch), AutoStart::RunBatch);
    EXPECT_EQ(rig.app->currentBatchPath(), batch);
    EXPECT_TRUE(rig.app->options().confirmDeletes);
    EXPECT_FALSE(rig.app->options().checkActions);
    EXPECT_FALSE(rig.app->compareOnSize());
    EXPECT_TRUE(rig.app->controlState().runBatch.visible);

    rig.dir.writeFile("a/one/f.txt", "x");
    rig.app->runAutoStart();
    EXPECT_TRUE(rig.exists("a/two/f.txt"));
    EXPECT_EQ(rig.app->selectorText(), batch);
}

TEST(StartUpTest, FileThatCannotBeOpenedLeavesNothingOpenAndStaysInTheRecentList) {
    ControllerRig rig;
    const std::string missing = rig.dir.at("gone.vmp");
    rig.settings.writeString("ProfilePath00", missing);
    rig.settings.writeString("ProfilePath", missing);

    EXPECT_EQ(rig.start(), AutoStart::None);
    EXPECT_EQ(rig.app->selectorText(), "");
    EXPECT_EQ(rig.app->currentProfilePath(), "");
    EXPECT_EQ(rig.app->recentFiles(), std::vector<std::string>{missing});
    EXPECT_EQ(rig.messagesWith("Could not open file: " + missing), 1);
    EXPECT_FALSE(rig.app->controlState().close.enabled);
}

// With no profile open a run compares on time, whatever comparison is remembered, until a
// profile is loaded or More Options is confirmed; the remembered values go back at exit.
TEST(StartUpTest, RememberedComparisonWaitsForMoreOptions) {
    ControllerRig rig;
    rig.settings.writeNumber("AdjustHours", 3); // "CompareTimeOrSize" absent: its default, size
    rig.start();
    EXPECT_TRUE(rig.app->compareOnSize());
    EXPECT_EQ(rig.app->adjustHours(), 3);
    EXPECT_TRUE(rig.app->runOptions().compareOnTime);
    EXPECT_EQ(rig.app->runOptions().adjustHours, 0);

    // An edit that keeps the size is found.
    rig.dir.writeFile("one/f.txt", "new", 1700000000);
    rig.dir.writeFile("two/f.txt", "old", 1600000000);
    rig.app->setOption(OptionBox::CheckActions, false);
    rig.app->chooseLocation(Location::One, rig.dir.at("one"));
    rig.app->chooseLocation(Location::Two, rig.dir.at("two"));
    rig.app->synchronise(Direction::OneToTwo);
    EXPECT_EQ(test::TempDir::readFile(rig.dir.at("two/f.txt")), "new");

    rig.app->exit();
    EXPECT_EQ(readOptionSettings(rig.settings).compareOnTime, false);
    EXPECT_EQ(readOptionSettings(rig.settings).adjustHours, 3);

    rig.restart().startUp("");
    auto session = rig.app->moreOptions();
    session.model.compareOn = MoreOptionsModel::CompareOn::FileSize;
    EXPECT_FALSE(rig.app->acceptMoreOptions(session.model));
    EXPECT_FALSE(rig.app->runOptions().compareOnTime);
    EXPECT_EQ(rig.app->adjustHours(), 0);
}

} // namespace
} // namespace velmora
