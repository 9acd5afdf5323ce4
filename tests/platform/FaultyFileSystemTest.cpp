#include "support/FaultyFileSystem.h"

#include "support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using velmora::platform::FileAttributes;
using velmora::test::FaultyFileSystem;
using velmora::test::FsOp;
using velmora::test::TempDir;

TEST(FaultyFileSystem, FailsTheChosenCallsAndPassesTheOthersOn) {
    TempDir dir;
    const std::string file = dir.writeFile("file", "x");
    FaultyFileSystem faulty;
    FileAttributes attributes;

    faulty.failOn(FsOp::GetAttributes, EIO, 2, 2);
    EXPECT_EQ(faulty.getAttributes(file, attributes), 0);
    EXPECT_EQ(faulty.getAttributes(file, attributes), EIO);
    EXPECT_EQ(faulty.getAttributes(file, attributes), EIO);
    EXPECT_EQ(faulty.getAttributes(file, attributes), 0);
    EXPECT_EQ(faulty.calls(FsOp::GetAttributes), 4);

    // A failed call never reaches the real file system.
    faulty.failAlways(FsOp::DeleteFile, EACCES);
    EXPECT_EQ(faulty.deleteFile(file), EACCES);
    EXPECT_EQ(faulty.deleteFile(file), EACCES);
    EXPECT_TRUE(TempDir::exists(file));
    EXPECT_EQ(faulty.calls(FsOp::CopyFile), 0);

    faulty.reset();
    EXPECT_EQ(faulty.calls(FsOp::DeleteFile), 0);
    EXPECT_EQ(faulty.deleteFile(file), 0);
    EXPECT_FALSE(TempDir::exists(file));
}

TEST(FaultyFileSystem, AHungCallGoesOnWhenReleased) {
    TempDir dir;
    const std::string source = dir.writeFile("source", "late but whole");
    FaultyFileSystem faulty;
    faulty.hang(FsOp::CopyFile);

    auto copy =
        std::async(std::launch::async, [&] { return faulty.copyFile(source, dir.at("target"), false); });
    ASSERT_TRUE(faulty.waitUntilHung(FsOp::CopyFile));
    EXPECT_FALSE(TempDir::exists(dir.at("target")));
    // Other operations are not held up.
    FileAttributes attributes;
    EXPECT_EQ(faulty.getAttributes(source, attributes), 0);

    faulty.release(FsOp::CopyFile);
    EXPECT_EQ(copy.get(), 0);
    EXPECT_EQ(TempDir::readFile(dir.at("target")), "late but whole");
    EXPECT_EQ(faulty.copyFile(source, dir.at("again"), false), 0); // no longer hangs
}

TEST(FaultyFileSystem, AHangForATimeEndsByItselfAndCanBeCombinedWithAFailure) {
    TempDir dir;
    FaultyFileSystem faulty;
    faulty.hangFor(FsOp::CreateFolder, std::chrono::milliseconds(20));
    faulty.failOn(FsOp::CreateFolder, ENOSPC);
    EXPECT_EQ(faulty.createFolder(dir.at("a")), ENOSPC);
    EXPECT_EQ(faulty.createFolder(dir.at("a")), 0);
    EXPECT_TRUE(TempDir::exists(dir.at("a")));
}

TEST(FaultyFileSystem, GoingAwayReleasesAWorkerThatIsStillHung) {
    TempDir dir;
    std::thread worker;
    int result = -1;
    {
        FaultyFileSystem faulty;
        faulty.hang(FsOp::RemoveFolder);
        worker = std::thread([&] { result = faulty.removeFolder(dir.at("missing")); });
        ASSERT_TRUE(faulty.waitUntilHung(FsOp::RemoveFolder));
    }
    worker.join();
    EXPECT_EQ(result, ENOENT);
}

// What a watchdog sees: it gives up on a hung copy, and the copy, when it finally runs, must
// neither put its file in place nor leave its temporary file behind.
TEST(FaultyFileSystem, ACopyAbandonedWhileHungNeverLandsWhenItWakes) {
    TempDir dir;
    const std::string source = dir.writeFile("source", "new");
    const std::string target = dir.writeFile("target", "old");
    FaultyFileSystem faulty;
    faulty.hang(FsOp::CopyFile);
    velmora::platform::CommandGate gate;

    auto copy = std::async(std::launch::async, [&] { return faulty.copyFile(source, target, false, &gate); });
    ASSERT_TRUE(faulty.waitUntilHung(FsOp::CopyFile));
    ASSERT_TRUE(gate.abandon());
    faulty.release();
    EXPECT_EQ(copy.get(), ECANCELED);
    EXPECT_EQ(TempDir::readFile(target), "old");
    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{"source", "target"}));
}
