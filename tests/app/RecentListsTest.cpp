#include "ControllerRig.h"
#include "app/RecentPaths.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

class RecentListsTest : public testing::Test {
protected:
    void SetUp() override {
        for (char letter : std::string("ABCDE"))
            rig.settings.writeString(std::string("Location1") + letter, std::string("/l/") + letter + "/");
        rig.start();
    }

    ControllerRig rig;
    AppController& app = *rig.app;
};

TEST_F(RecentListsTest, TypedLocationGetsItsSeparatorAndPushesTheLastEntryOut) {
    EXPECT_EQ(app.locationText(Location::One), "/l/A/");
    app.typeLocation(Location::One, "/data");
    // Nothing is taken while the user types.
    EXPECT_EQ(app.recentLocations(Location::One)[0], "/l/A/");
    app.locationFocusLost(Location::One);

    EXPECT_EQ(app.locationText(Location::One), "/data/");
    EXPECT_EQ(app.profile().location1, "/data/");
    const RecentLocations expected{"/data/", "/l/A/", "/l/B/", "/l/C/", "/l/D/"};
    EXPECT_EQ(app.recentLocations(Location::One), expected);

    // Losing the focus again without typing changes nothing.
    app.locationFocusLost(Location::One);
    EXPECT_EQ(app.recentLocations(Location::One), expected);
}

TEST_F(RecentListsTest, ALocationIsTidiedAsItIsTakenWhateverItsSpelling) {
    for (const char* typed : {"/data/./x/../t", "/data//t/.", "/data/t/"}) {
        app.typeLocation(Location::Two, typed);
        app.locationFocusLost(Location::Two);
        EXPECT_EQ(app.locationText(Location::Two), "/data/t/") << typed;
    }
    app.chooseLocation(Location::One, "/data/s/./");
    EXPECT_EQ(app.profile().location1, "/data/s/");
}

TEST_F(RecentListsTest, ChosenLocationMovesToTheFrontKeepingTheOthers) {
    app.chooseLocation(Location::One, "/l/D/");
    const RecentLocations expected{"/l/D/", "/l/A/", "/l/B/", "/l/C/", "/l/E/"};
    EXPECT_EQ(app.recentLocations(Location::One), expected);
    EXPECT_EQ(app.locationText(Location::One), "/l/D/");
    EXPECT_TRUE(app.profile().modified);
}

TEST_F(RecentListsTest, EmptyLocationStaysEmpty) {
    // A lone separator would make the whole file system a location.
    app.typeLocation(Location::Two, "");
    app.locationFocusLost(Location::Two);
    EXPECT_EQ(app.locationText(Location::Two), "");
    EXPECT_EQ(app.recentLocations(Location::Two)[0], "");
}

TEST(RecentFilesTest, SixteenthDistinctFileDropsTheOldest) {
    ControllerRig rig;
    rig.start();
    std::vector<std::string> paths;
    for (int i = 0; i < 16; ++i)
        paths.push_back(rig.writeProfile("p" + std::to_string(i) + ".vmp", Profile{}));
    for (const std::string& path : paths)
        ASSERT_TRUE(rig.app->openFile(path));

    const std::vector<std::string>& recent = rig.app->recentFiles();
    ASSERT_EQ(recent.size(), 15u);
    EXPECT_EQ(recent.front(), paths[15]);
    EXPECT_EQ(recent.back(), paths[1]);

    // Opening one already listed moves it to the front and drops nothing.
    ASSERT_TRUE(rig.app->openFile(paths[5]));
    EXPECT_EQ(recent.size(), 15u);
    EXPECT_EQ(recent.front(), paths[5]);
    EXPECT_EQ(recent[1], paths[15]);
    EXPECT_EQ(std::count(recent.begin(), recent.end(), paths[5]), 1);
    EXPECT_EQ(rig.app->selectorText(), paths[5]);
}

TEST(RecentFilesTest, RecentFileThatFailsLeavesTheListButNotWhatIsOpen) {
    ControllerRig rig;
    const std::string open = rig.writeProfile("open.vmp", rig.profileFor("o"));
    const std::string gone = rig.writeProfile("gone.vmp", Profile{});
    rig.start();
    ASSERT_TRUE(rig.app->openFile(gone));
    ASSERT_TRUE(rig.app->openFile(open));
    std::remove(gone.c_str());

    EXPECT_FALSE(rig.app->selectRecentFile(gone));
    EXPECT_EQ(rig.app->recentFiles(), std::vector<std::string>{open});
    // The file that could not be read changed nothing of the profile shown, but the selector no
    // longer names it.
    EXPECT_EQ(rig.app->currentProfilePath(), open);
    EXPECT_EQ(rig.app->selectorText(), "");
    EXPECT_EQ(rig.app->locationText(Location::One), rig.dir.at("o/one/"));
}

TEST(RecentPathsTest, ListRules) {
    RecentLocations locations{"/a/", "", "", "", ""};
    putLocationFirst(locations, "");
    EXPECT_EQ(locations[0], "/a/");
    putLocationFirst(locations, "/b/");
    EXPECT_EQ(locations, (RecentLocations{"/b/", "/a/", "", "", ""}));

    std::vector<std::string> files{"/x.vmp", "/y.vmp"};
    putFileFirst(files, "");
    putFileFirst(files, "/X.vmp"); // byte for byte: another file
    EXPECT_EQ(files, (std::vector<std::string>{"/X.vmp", "/x.vmp", "/y.vmp"}));
    removeFile(files, "/x.vmp");
    EXPECT_EQ(files, (std::vector<std::string>{"/X.vmp", "/y.vmp"}));
}

} // namespace
} // namespace velmora
