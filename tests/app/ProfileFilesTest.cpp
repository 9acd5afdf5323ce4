#include "app/ProfileFiles.h"

#include "engine/ErrorReporter.h"
#include "engine/LastReason.h"
#include "engine/RunLog.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "support/FakeFrontEnd.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class ProfileFilesTest : public testing::Test {
protected:
    test::TempDir dir;
    test::FakeFrontEnd frontEnd;
    LastReason reason;
    RunLog log;
    ErrorReporter reporter{frontEnd, log, reason};
};

TEST_F(ProfileFilesTest, SavedProfileLoadsBack) {
    Profile profile;
    profile.location1 = "/home/ann/work/";
    profile.autoStart = AutoStartDirection::TwoToOne;
    profile.modified = true;
    const std::string path = dir.at("work.vmp");
    ASSERT_TRUE(saveProfileFile(path, profile, reporter, SaveCommand::SaveAs));
    EXPECT_FALSE(profile.modified);
    EXPECT_EQ(test::TempDir::readFile(path).substr(0, 22), "velmora_version=1.09\r\n");

    Profile loaded;
    loaded.modified = true;
    ASSERT_TRUE(loadProfileFile(path, loaded, reporter));
    EXPECT_EQ(loaded.location1, "/home/ann/work/");
    EXPECT_EQ(loaded.autoStart, AutoStartDirection::TwoToOne);
    EXPECT_FALSE(loaded.modified);
    EXPECT_TRUE(frontEnd.messages.empty());
    EXPECT_EQ(windowTitleFor(path), "Velmora - work");
}

TEST_F(ProfileFilesTest, UnreadableFileIsReportedAndLeavesTheProfile) {
    Profile profile;
    profile.location1 = "/kept/";
    const std::string missing = dir.at("missing.vmp");
    EXPECT_FALSE(loadProfileFile(missing, profile, reporter));
    EXPECT_FALSE(loadProfileFile(dir.makeFolder("folder.vmp"), profile, reporter));
    EXPECT_EQ(profile.location1, "/kept/");
    ASSERT_EQ(frontEnd.messages.size(), 2u);
    EXPECT_EQ(frontEnd.messages[0], "Could not open file: " + missing);
}

TEST_F(ProfileFilesTest, FileThatIsNotAProfileIsReportedAndResetsTheProfile) {
    Profile profile;
    profile.location1 = "/lost/";
    const std::string path = dir.writeFile("bad.vmp", "location1=/a/\r\nvelmora_version=1.09\r\n");
    EXPECT_FALSE(loadProfileFile(path, profile, reporter));
    EXPECT_EQ(profile.location1, "");
    EXPECT_EQ(frontEnd.messages, std::vector<std::string>{path + " is not a valid Velmora profile"});
}

TEST_F(ProfileFilesTest, LoadFailureGoesToAnOpenLogWithItsContext) {
    ASSERT_TRUE(log.open(dir.at("run.log"), false));
    reporter.setSilent(true);
    Profile profile;
    EXPECT_FALSE(loadProfileFile(dir.at("gone.vmp"), profile, reporter));
    log.close();
    EXPECT_TRUE(frontEnd.messages.empty());
    const std::string text = test::TempDir::readFile(dir.at("run.log"));
    EXPECT_NE(
        text.find("CSynchroniserDlg::loadProfileData: Could not open file: " + dir.at("gone.vmp") + "\n"),
        std::string::npos);
}

TEST_F(ProfileFilesTest, FailedSaveKeepsOldFileAndModifiedFlag) {
    const std::string blocker = dir.writeFile("plain", "x");
    Profile profile;
    profile.modified = true;
    EXPECT_FALSE(saveProfileFile(blocker + "/a.vmp", profile, reporter, SaveCommand::Save));
    EXPECT_TRUE(profile.modified);
    EXPECT_EQ(frontEnd.messages, std::vector<std::string>{"Could not open file: " + blocker + "/a.vmp"});

    profile.location1 = "/odd\nname/";
    const std::string path = dir.writeFile("kept.vmp", "velmora_version=1.09\r\n");
    EXPECT_FALSE(saveProfileFile(path, profile, reporter, SaveCommand::SaveAs));
    EXPECT_TRUE(profile.modified);
    EXPECT_EQ(test::TempDir::readFile(path), "velmora_version=1.09\r\n");
}

TEST_F(ProfileFilesTest, RefusedSaveInReadOnlyFolderLeavesOldProfileWhole) {
    VELMORA_SKIP_UNLESS_ROOT();
    const std::string path = dir.writeFile("locked/work.vmp", "velmora_version=1.09\r\nlocation1=/old/\r\n");
    dir.openToEveryone();
    dir.setMode("locked/work.vmp", 0666);
    dir.setMode("locked", 0555);
    const auto result = test::runUnprivileged([&path] {
        test::FakeFrontEnd front;
        LastReason why;
        RunLog noLog;
        ErrorReporter mine(front, noLog, why);
        Profile profile;
        profile.location1 = "/new/";
        const bool saved = saveProfileFile(path, profile, mine, SaveCommand::Save);
        return saved ? 1 : static_cast<int>(front.messages.size()) + 10;
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, 11); // not saved, one message
    EXPECT_EQ(test::TempDir::readFile(path), "velmora_version=1.09\r\nlocation1=/old/\r\n");
}

TEST_F(ProfileFilesTest, BatchFilesLoadSaveAndReport) {
    Batch batch;
    batch.profiles = {"/p/a.vmp", "/p/b.vmp"};
    batch.modified = true;
    const std::string path = dir.at("all.vmb");
    ASSERT_TRUE(saveBatchFile(path, batch, reporter, SaveCommand::Save));
    EXPECT_FALSE(batch.modified);

    Batch loaded;
    ASSERT_TRUE(loadBatchFile(path, loaded, reporter));
    EXPECT_EQ(loaded.profiles, batch.profiles);

    const std::string profilePath = dir.writeFile("one.vmp", "velmora_version=1.09\r\n");
    EXPECT_FALSE(loadBatchFile(profilePath, loaded, reporter));
    EXPECT_TRUE(loaded.profiles.empty());
    EXPECT_FALSE(loadBatchFile(dir.at("none.vmb"), loaded, reporter));
    EXPECT_EQ(frontEnd.messages, (std::vector<std::string>{profilePath + " is not a valid Velmora batch file",
                                                           "Could not open file: " + dir.at("none.vmb")}));
}

} // namespace
} // namespace velmora
