#include "engine/FileCommand.h"

#include "support/FakeFrontEnd.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::FsOp;

unsigned modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class FileCommandTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FaultyFileSystem fs;
    test::FakeFrontEnd frontEnd;
    std::atomic<bool> stop{false};
    LastReason reason;
    int listenerCalls = 0;
    FileCommands commands{fs, frontEnd, stop, reason};

    void SetUp() override {
        commands.setListener([this] { ++listenerCalls; });
    }
    // Waits until abandoned workers have left the file system.
    void drainWorkers() {
        fs.release();
        for (int i = 0; i < 500 && commands.runningWorkers() > 0; ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_EQ(commands.runningWorkers(), 0);
    }
    void TearDown() override { drainWorkers(); }
};

TEST_F(FileCommandTest, CopyWaitsForTheWorkerAndPumpsMeanwhile) {
    std::string source = dir.writeFile("a.txt", "hello");
    fs.hangFor(FsOp::CopyFile, 200ms);
    commands.setTimeout(0); // no limit: waits as long as the copy takes
    EXPECT_TRUE(commands.copyFile(source, dir.at("b.txt"), false, false));
    EXPECT_EQ(test::TempDir::readFile(dir.at("b.txt")), "hello");
    EXPECT_GT(frontEnd.pumps, 10);
    EXPECT_EQ(listenerCalls, 1);
}

TEST_F(FileCommandTest, CommandOutlastingTheTimeoutIsAbandonedWithoutHarmingTheNext) {
    std::string first = dir.writeFile("first.txt", std::string(100000, 'x'));
    std::string second = dir.writeFile("second.txt", "second");
    dir.writeFile("old.txt", "old contents");
    fs.hangFor(FsOp::CopyFile, 1600ms);
    commands.setTimeout(1);

    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(commands.copyFile(first, dir.at("old.txt"), false, false));
    EXPECT_EQ(reason.get(), "Timed out");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
    EXPECT_EQ(listenerCalls, 0);

    // The abandoned copy wakes up while this one waits; it must neither end this wait,
    // nor write the reason, nor put its data in place.
    reason.set("marker");
    commands.setTimeout(0);
    EXPECT_TRUE(commands.copyFile(second, dir.at("second copy.txt"), false, false));
    EXPECT_EQ(reason.get(), "marker");
    EXPECT_EQ(listenerCalls, 1);
    drainWorkers();
    EXPECT_EQ(test::TempDir::readFile(dir.at("old.txt")), "old contents");
    EXPECT_EQ(test::TempDir::readFile(dir.at("second copy.txt")), "second");
    EXPECT_TRUE(dir.temporaryFiles().empty());
}

TEST_F(FileCommandTest, StopReturnsAtOnceAndLeavesTheReasonAlone) {
    std::string source = dir.writeFile("a.txt", "new");
    dir.writeFile("b.txt", "old");
    fs.hang(FsOp::CopyFile);
    frontEnd.stopAtPump(stop, 3);
    reason.set("earlier");
    EXPECT_FALSE(commands.copyFile(source, dir.at("b.txt"), false, false));
    EXPECT_EQ(frontEnd.pumps, 3);
    EXPECT_EQ(reason.get(), "earlier");
    drainWorkers();
    EXPECT_EQ(test::TempDir::readFile(dir.at("b.txt")), "old");
}

TEST_F(FileCommandTest, ReadOnlyTargetNeedsOverwriteReadOnlyAndStaysReadOnly) {
    std::string source = dir.writeFile("src.txt", "new");
    dir.writeFile("dst.txt", "old");
    dir.setMode("src.txt", 0644);
    dir.setMode("dst.txt", 0444);

    EXPECT_FALSE(commands.copyFile(source, dir.at("dst.txt"), false, false));
    EXPECT_EQ(reason.get(), "Permission denied");
    EXPECT_EQ(test::TempDir::readFile(dir.at("dst.txt")), "old");

    EXPECT_TRUE(commands.copyFile(source, dir.at("dst.txt"), false, true));
    EXPECT_EQ(test::TempDir::readFile(dir.at("dst.txt")), "new");
    EXPECT_EQ(modeOf(dir.at("dst.txt")), 0444u);
}

TEST_F(FileCommandTest, CopyAttributesGivesTheSourceModeAndFailsEarlyOnAnUnreadableSource) {
    std::string source = dir.writeFile("src.txt", "data");
    dir.setMode("src.txt", 0640);
    dir.writeFile("dst.txt", "old");
    dir.setMode("dst.txt", 0444);
    commands.setCopyAttributes(true);
    EXPECT_TRUE(commands.copyFile(source, dir.at("dst.txt"), false, true));
    EXPECT_EQ(modeOf(dir.at("dst.txt")), 0640u);

    const int copiesBefore = fs.calls(FsOp::CopyFile);
    fs.failOn(FsOp::GetAttributes, EACCES);
    EXPECT_FALSE(commands.copyFile(source, dir.at("other.txt"), false, false));
    EXPECT_EQ(reason.get(), "Permission denied");
    EXPECT_EQ(fs.calls(FsOp::CopyFile), copiesBefore);
    EXPECT_FALSE(test::TempDir::exists(dir.at("other.txt")));
}

TEST_F(FileCommandTest, CopiedAttributesNeverMakeASetUserIdFile) {
    std::string source = dir.writeFile("tool", "#!/bin/sh\n");
    dir.setMode("tool", 04755);
    commands.setCopyAttributes(true);
    EXPECT_TRUE(commands.copyFile(source, dir.at("copy"), false, false));
    EXPECT_EQ(modeOf(dir.at("copy")), 0755u);
}

TEST_F(FileCommandTest, FailIfExistsAndFailuresCarryTheSystemReason) {
    std::string source = dir.writeFile("a.txt", "a");
    dir.writeFile("b.txt", "b");
    EXPECT_FALSE(commands.copyFile(source, dir.at("b.txt"), true, false));
    EXPECT_EQ(reason.get(), "File exists");

    fs.failOn(FsOp::CopyFile, ENOSPC);
    EXPECT_FALSE(commands.copyFile(source, dir.at("c.txt"), false, false));
    EXPECT_EQ(reason.get(), "No space left on device");
    EXPECT_EQ(listenerCalls, 2);
}

TEST_F(FileCommandTest, DeleteOfAReadOnlyFileNeedsOverwriteReadOnly) {
    dir.writeFile("ro.txt", "x");
    dir.setMode("ro.txt", 0444);
    EXPECT_FALSE(commands.deleteFile(dir.at("ro.txt"), false));
    EXPECT_EQ(reason.get(), "Permission denied");
    EXPECT_TRUE(test::TempDir::exists(dir.at("ro.txt")));
    EXPECT_TRUE(commands.deleteFile(dir.at("ro.txt"), true));
    EXPECT_FALSE(test::TempDir::exists(dir.at("ro.txt")));
    EXPECT_FALSE(commands.deleteFile(dir.at("ro.txt"), true));
    EXPECT_EQ(reason.get(), "No such file or directory");
}

TEST_F(FileCommandTest, MoveRefusesAnExistingTarget) {
    std::string source = dir.writeFile("a.txt", "a");
    dir.writeFile("b.txt", "b");
    EXPECT_FALSE(commands.moveFile(source, dir.at("b.txt"), false));
    EXPECT_EQ(test::TempDir::readFile(dir.at("b.txt")), "b");
    EXPECT_TRUE(commands.moveFile(source, dir.at("c.txt"), false));
    EXPECT_FALSE(test::TempDir::exists(source));
    EXPECT_EQ(test::TempDir::readFile(dir.at("c.txt")), "a");
}

TEST_F(FileCommandTest, CreateFolderKeepsAnExistingFolderAndSetsNewAttributes) {
    dir.makeFolder("old");
    dir.setMode("old", 0700);
    EXPECT_TRUE(commands.createFolder(dir.at("old"), 0755));
    EXPECT_EQ(modeOf(dir.at("old")), 0700u);
    EXPECT_TRUE(commands.createFolder(dir.at("new"), 0750));
    EXPECT_EQ(modeOf(dir.at("new")), 0750u);

    dir.writeFile("file", "x");
    EXPECT_FALSE(commands.createFolder(dir.at("file")));
    EXPECT_EQ(reason.get(), "File exists");
}

TEST_F(FileCommandTest, RemoveFolderOfAReadOnlyFolderNeedsOverwriteReadOnly) {
    dir.makeFolder("ro");
    dir.setMode("ro", 0555);
    EXPECT_FALSE(commands.removeFolder(dir.at("ro"), false));
    EXPECT_EQ(reason.get(), "Permission denied");
    EXPECT_TRUE(commands.removeFolder(dir.at("ro"), true));
    EXPECT_FALSE(test::TempDir::exists(dir.at("ro")));

    dir.writeFile("full/keep.txt", "x");
    EXPECT_FALSE(commands.removeFolder(dir.at("full"), true));
    EXPECT_EQ(reason.get(), "Directory not empty");
}

TEST_F(FileCommandTest, ReadOnlyTargetsAreReplacedWithoutChangingOtherLinksOrTheirFolder) {
    // As an ordinary user, who owns the files: root would pass the folder checks unasked.
    VELMORA_SKIP_UNLESS_ROOT();
    dir.openToEveryone();
    const auto result = test::runUnprivileged([this] {
        const std::string source = dir.writeFile("src.txt", "new");
        const std::string box = dir.makeFolder("box");
        auto readOnlyLinked = [&](const char* name, const char* other) {
            dir.writeFile(std::string("box/") + name, "old");
            dir.setMode(std::string("box/") + name, 0444);
            return ::link(dir.at(std::string("box/") + name).c_str(), dir.at(other).c_str()) == 0;
        };
        dir.writeFile("box/full/keep", "x");
        const std::vector<bool> checks{
            readOnlyLinked("ro.txt", "ro-link") && readOnlyLinked("gone.txt", "gone-link"),
            !commands.copyFile(source, box + "/ro.txt", false, false),
            commands.copyFile(source, box + "/ro.txt", false, true),
            test::TempDir::readFile(box + "/ro.txt") == "new" && modeOf(box + "/ro.txt") == 0444,
            test::TempDir::readFile(dir.at("ro-link")) == "old" && modeOf(dir.at("ro-link")) == 0444,
            ::chmod(box.c_str(), 0555) == 0,
            !commands.deleteFile(box + "/gone.txt", false) && modeOf(box) == 0555,
            commands.deleteFile(box + "/gone.txt", true) && !test::TempDir::exists(box + "/gone.txt"),
            modeOf(dir.at("gone-link")) == 0444 && modeOf(box) == 0555,
            commands.copyFile(source, box + "/added.txt", false, true) && modeOf(box) == 0555,
            // Refused for another reason once the folder is open: the folder's mode still comes back.
            !commands.removeFolder(box + "/full", true) && reason.get() == "Directory not empty",
            modeOf(box) == 0555 && ::chmod(box.c_str(), 0755) == 0,
        };
        for (std::size_t i = 0; i < checks.size(); ++i)
            if (!checks[i])
                return static_cast<int>(i + 1);
        return 0;
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, 0) << "first failed check";
}

TEST_F(FileCommandTest, LinksAreCopiedAndDeletedAsLinks) {
    test::TempDir outside;
    outside.writeFile("precious/data.txt", "keep me");
    std::string link = dir.makeLink("link", outside.at("precious"));
    EXPECT_TRUE(commands.copyFile(link, dir.at("copy"), false, false));
    EXPECT_TRUE(commands.deleteFile(dir.at("copy"), false));
    EXPECT_TRUE(commands.deleteFile(link, false));
    EXPECT_EQ(test::TempDir::readFile(outside.at("precious/data.txt")), "keep me");
    EXPECT_TRUE(dir.listTree().empty());
}

} // namespace
} // namespace velmora
