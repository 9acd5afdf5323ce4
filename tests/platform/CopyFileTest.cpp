#include "platform/Clock.h"
#include "platform/CommandGate.h"
#include "platform/ErrorText.h"
#include "platform/FileCopy.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using velmora::platform::FileHandle;
using velmora::platform::realFileSystem;
using velmora::test::TempDir;

namespace {

struct stat statOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Bytes that differ from one position to the next, so a misplaced chunk shows.
std::string patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
    return bytes;
}

} // namespace

TEST(CopyFile, CopiesBytesModeAndModificationTimeToTheNanosecond) {
    TempDir dir;
    const std::string bytes = patterned(300'001);
    const std::string source = dir.writeFile("src/data.bin", bytes, 1'600'000'000, 123'456'789);
    dir.setMode("src/data.bin", 0640);
    dir.makeFolder("dst");

    ASSERT_EQ(realFileSystem().copyFile(source, dir.at("dst/data.bin"), false), 0);

    EXPECT_EQ(TempDir::readFile(dir.at("dst/data.bin")), bytes);
    const struct stat copy = statOf(dir.at("dst/data.bin"));
    EXPECT_EQ(copy.st_mode & 07777, 0640u);
    EXPECT_EQ(copy.st_mtim.tv_sec, 1'600'000'000);
    EXPECT_EQ(copy.st_mtim.tv_nsec, 123'456'789);
    EXPECT_TRUE(dir.temporaryFiles("dst").empty());

    // An empty file is a file too.
    const std::string empty = dir.writeFile("src/empty", "", 1'500'000'000, 1);
    ASSERT_EQ(realFileSystem().copyFile(empty, dir.at("dst/empty"), false), 0);
    EXPECT_EQ(TempDir::readFile(dir.at("dst/empty")), "");
    EXPECT_EQ(statOf(dir.at("dst/empty")).st_mtim.tv_nsec, 1);
}

TEST(CopyFile, DoesNotCarrySetuidOntoACopyOwnedBySomeoneElse) {
    TempDir dir;
    const std::string source = dir.writeFile("tool", "#!/bin/sh\n");
    dir.setMode("tool", 04755);
    ASSERT_EQ(realFileSystem().copyFile(source, dir.at("copy"), false), 0);
    EXPECT_EQ(statOf(dir.at("copy")).st_mode & 07777, 0755u);
}

TEST(CopyFile, OverwritesAWritableTargetButRefusesAReadOnlyOneEvenForRoot) {
    TempDir dir;
    const std::string source = dir.writeFile("new", "new contents");
    const std::string target = dir.writeFile("old", "old contents");

    dir.setMode("old", 0444);
    EXPECT_EQ(realFileSystem().copyFile(source, target, false), EACCES);
    EXPECT_EQ(TempDir::readFile(target), "old contents");
    EXPECT_EQ(statOf(target).st_mode & 07777, 0444u);

    EXPECT_EQ(realFileSystem().copyFile(source, target, true), EEXIST);
    dir.setMode("old", 0644);
    EXPECT_EQ(realFileSystem().copyFile(source, target, true), EEXIST);
    EXPECT_EQ(TempDir::readFile(target), "old contents");

    ASSERT_EQ(realFileSystem().copyFile(source, target, false), 0);
    EXPECT_EQ(TempDir::readFile(target), "new contents");
    EXPECT_TRUE(dir.temporaryFiles().empty());
}

TEST(CopyFile, AFailedOrAbandonedCopyLeavesTheOldTargetWholeAndNoTemporaryFile) {
    TempDir dir;
    const std::string bytes = patterned(3 << 20);
    const std::string source = dir.writeFile("src", bytes);
    const std::string target = dir.writeFile("dst/file", "the old version", 1'000'000'000);

    velmora::platform::CommandGate givenUp;
    ASSERT_TRUE(givenUp.abandon());
    EXPECT_EQ(realFileSystem().copyFile(source, target, false, &givenUp), ECANCELED);
    EXPECT_EQ(TempDir::readFile(target), "the old version");
    EXPECT_EQ(statOf(target).st_mtim.tv_sec, 1'000'000'000);

    // A copy that got its file in place has won the hand-over: giving it up afterwards fails,
    // so the waiting side records it as done.
    for (const std::string& to : {target, dir.at("dst/new")}) {
        velmora::platform::CommandGate gate;
        EXPECT_EQ(realFileSystem().copyFile(source, to, false, &gate), 0);
        EXPECT_TRUE(gate.committed());
        EXPECT_FALSE(gate.abandon());
        EXPECT_NE(gate.lastProgressMillis(), 0u);
    }
    ASSERT_EQ(TempDir::readFile(target), bytes);
    std::filesystem::remove(dir.at("dst/new"));
    dir.writeFile("dst/file", "the old version", 1'000'000'000);

    EXPECT_EQ(realFileSystem().copyFile(dir.at("missing"), target, false), ENOENT);
    EXPECT_EQ(realFileSystem().copyFile(source, dir.at("no/such/folder/file"), false), ENOENT);
    EXPECT_EQ(realFileSystem().copyFile(dir.at("dst"), dir.at("folder-copy"), false), EISDIR);
    EXPECT_EQ(realFileSystem().copyFile(source, dir.at("dst"), false), EISDIR);

    EXPECT_EQ(TempDir::readFile(target), "the old version");
    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{"dst/", "dst/file", "src"}));
}

TEST(CopyFile, ByteLoopAndKernelCopyGiveTheSameBytes) {
    TempDir dir;
    const std::string bytes = patterned((5 << 20) + 77); // several buffers and an odd tail
    const std::string source = dir.writeFile("src", bytes);
    for (bool inKernel : {true, false}) {
        const std::string target = dir.at(inKernel ? "kernel" : "loop");
        FileHandle in(::open(source.c_str(), O_RDONLY));
        FileHandle out(::open(target.c_str(), O_WRONLY | O_CREAT, 0600));
        ASSERT_EQ(velmora::platform::copyBytes(in.get(), out.get(), bytes.size(), nullptr, inKernel), 0);
        out.reset();
        EXPECT_EQ(TempDir::readFile(target), bytes) << (inKernel ? "kernel" : "loop");
    }
}

// A stream that keeps moving, slowly (a pipe drained at about 500 KiB/s), shows progress well
// within any timeout: one call that moves more than a fraction of a second's worth would look
// like a stall to the command's watch (a whole second without progress here).
TEST(CopyFile, ASlowStreamShowsProgressSeveralTimesASecond) {
    TempDir dir;
    const std::string bytes = patterned(2u << 20);
    const std::string source = dir.writeFile("s", bytes);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    FileHandle readEnd(ends[0]);
    FileHandle writeEnd(ends[1]);
    std::thread drain([&] {
        std::vector<char> chunk(16u << 10);
        while (::read(readEnd.get(), chunk.data(), chunk.size()) > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(31));
    });

    velmora::platform::CommandGate gate;
    gate.progressed();
    std::atomic<bool> done{false};
    std::thread copy([&] {
        FileHandle in(::open(source.c_str(), O_RDONLY));
        EXPECT_EQ(velmora::platform::copyBytes(in.get(), writeEnd.get(), bytes.size(), &gate), 0);
        writeEnd.reset();
        done = true;
    });
    std::uint64_t longestGap = 0;
    while (!done) {
        longestGap = std::max(longestGap, velmora::platform::steadyMillis() - gate.lastProgressMillis());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    copy.join();
    drain.join();
    EXPECT_LT(longestGap, 1000u);
}

TEST(CopyFile, WorksForNamesTooLongToTakeTheTemporaryMark) {
    TempDir dir;
    std::string name(240, 'n');
    name.replace(236, 2, "\xC3\xA9"); // an e-acute across the cut
    const std::string source = dir.writeFile("s", "long");
    ASSERT_EQ(realFileSystem().copyFile(source, dir.at(name), false), 0);
    EXPECT_EQ(TempDir::readFile(dir.at(name)), "long");

    const std::string temporary = velmora::platform::temporarySibling(dir.at(name));
    const std::string tempName = temporary.substr(temporary.rfind('/') + 1);
    EXPECT_LE(tempName.size(), 255u);
    EXPECT_EQ(tempName.rfind(".nnn", 0), 0u);
    EXPECT_NE(velmora::platform::temporarySibling(dir.at("x")),
              velmora::platform::temporarySibling(dir.at("x")));
}

TEST(CopyFile, CopiesALinkAsALinkAndNeverWritesThroughOne) {
    TempDir outside;
    outside.writeFile("keep/precious", "do not touch");
    const auto outsideBefore = outside.listTree();
    TempDir dir;
    const std::string link = dir.makeLink("tree/away", outside.at("keep"));
    const std::string dangling = dir.makeLink("tree/dangling", "no/such/thing", 1'234'567'890);
    dir.makeFolder("copy");

    ASSERT_EQ(realFileSystem().copyFile(link, dir.at("copy/away"), false), 0);
    ASSERT_EQ(realFileSystem().copyFile(dangling, dir.at("copy/dangling"), false), 0);
    EXPECT_EQ(statOf(dir.at("copy/dangling")).st_mtim.tv_sec, 1'234'567'890);

    // A file copied onto a link replaces the link; the file it pointed at stays as it was.
    dir.makeLink("copy/pointer", outside.at("keep/precious"));
    const std::string source = dir.writeFile("plain", "replacement");
    ASSERT_EQ(realFileSystem().copyFile(source, dir.at("copy/pointer"), false), 0);

    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{
                                  "copy/",
                                  "copy/away -> " + outside.at("keep"),
                                  "copy/dangling -> no/such/thing",
                                  "copy/pointer",
                                  "plain",
                                  "tree/",
                                  "tree/away -> " + outside.at("keep"),
                                  "tree/dangling -> no/such/thing",
                              }));
    EXPECT_EQ(TempDir::readFile(dir.at("copy/pointer")), "replacement");
    EXPECT_EQ(outside.listTree(), outsideBefore);
    EXPECT_EQ(TempDir::readFile(outside.at("keep/precious")), "do not touch");
}

// New files are written unnamed and given their name only when whole; a small file's target is
// examined only when the name turns out to be taken. Both ways must end as the named way did.
TEST(CopyFile, NewFilesOfEverySizeAppearWholeAndLateRefusalsLeaveNothingBehind) {
    TempDir dir;
    const std::string small = dir.writeFile("src/small", "a few bytes", 1'200'000'000);
    const std::string big = dir.writeFile("src/big", patterned(2 << 20), 1'300'000'000);
    const std::string empty = dir.writeFile("src/empty", "", 1'400'000'000);
    dir.setMode("src/small", 0640);
    dir.makeFolder("dst/taken");

    for (const char* name : {"small", "big", "empty"}) {
        SCOPED_TRACE(name);
        const std::string target = dir.at(std::string("dst/") + name);
        ASSERT_EQ(realFileSystem().copyFile(dir.at(std::string("src/") + name), target, true), 0);
        EXPECT_EQ(TempDir::readFile(target), TempDir::readFile(dir.at(std::string("src/") + name)));
        EXPECT_EQ(statOf(target).st_mtim.tv_sec, statOf(dir.at(std::string("src/") + name)).st_mtim.tv_sec);
        EXPECT_EQ(statOf(target).st_mode & 07777, statOf(dir.at(std::string("src/") + name)).st_mode & 07777);
    }
    // A small copy onto a folder, onto itself with fail-if-exists, and onto a read-only file.
    EXPECT_EQ(realFileSystem().copyFile(small, dir.at("dst/taken"), false), EISDIR);
    EXPECT_EQ(realFileSystem().copyFile(small, dir.at("dst/small"), true), EEXIST);
    dir.setMode("dst/empty", 0444);
    EXPECT_EQ(realFileSystem().copyFile(small, dir.at("dst/empty"), false), EACCES);
    EXPECT_EQ(TempDir::readFile(dir.at("dst/empty")), "");

    EXPECT_TRUE(dir.temporaryFiles().empty());
    EXPECT_EQ(dir.listTree(),
              (std::vector<std::string>{"dst/", "dst/big", "dst/empty", "dst/small", "dst/taken/", "src/",
                                        "src/big", "src/empty", "src/small"}));
}

TEST(CopyFile, KeepsTheHolesOfASparseFile) {
    TempDir dir;
    const std::string source = dir.at("sparse");
    constexpr off_t kSize = 16 << 20;
    const std::string data = patterned(256 << 10);
    {
        FileHandle file(::open(source.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        ASSERT_TRUE(file);
        for (const off_t at : {off_t{1} << 20, off_t{10} << 20})
            ASSERT_EQ(::pwrite(file.get(), data.data(), data.size(), at), static_cast<ssize_t>(data.size()));
        ASSERT_EQ(::ftruncate(file.get(), kSize), 0);
    }
    if (statOf(source).st_blocks * 512 >= kSize)
        GTEST_SKIP() << "this file system keeps no holes";

    const std::string target = dir.at("copy");
    ASSERT_EQ(realFileSystem().copyFile(source, target, false), 0);
    EXPECT_EQ(TempDir::readFile(target), TempDir::readFile(source));
    EXPECT_LE(statOf(target).st_blocks, statOf(source).st_blocks + 64);
}

// A writer that keeps changing the source while it is copied: the copy is tried twice, then
// given up with its own reason, and the old target stays.
TEST(CopyFile, ASourceThatKeepsChangingWhileItIsCopiedLeavesTheOldTarget) {
    TempDir dir;
    const std::string source = dir.writeFile("src", patterned(32 << 20));
    std::atomic<bool> copying{true};
    std::atomic<long> changes{0};
    std::thread writer([&] {
        for (long tick = 1; copying; ++tick) {
            const struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, tick % 1'000'000'000}};
            ::utimensat(AT_FDCWD, source.c_str(), times, 0);
            ++changes;
        }
    });
    while (changes < 100)
        std::this_thread::yield();
    // On a busy machine the writer may not run during both tries of one copy: such a copy saw a
    // file that did not change and may stand. Whichever copy noticed a change must leave nothing.
    int noticed = 0;
    for (int attempt = 0; attempt < 20 && noticed == 0; ++attempt) {
        const std::string target = dir.writeFile("dst/file", "the old version");
        const int error = realFileSystem().copyFile(source, target, false);
        if (error == 0)
            continue;
        ++noticed;
        EXPECT_EQ(velmora::platform::errorText(error), "The file changed while it was copied");
        EXPECT_EQ(TempDir::readFile(target), "the old version");
    }
    copying = false;
    writer.join();
    EXPECT_EQ(noticed, 1);
    EXPECT_TRUE(dir.temporaryFiles("dst").empty());
}

// A copy or delete given what the run saw of its target goes ahead only while the target is still
// that, for small and big files (which take different ways to the target) and links alike.
TEST(CopyFile, OnlyWhatTheRunSawIsReplacedOrDeleted) {
    using velmora::platform::SeenTarget;
    constexpr std::int64_t kSeenAt = 1'600'000'000;
    for (const std::size_t size : {std::size_t{5}, std::size_t{3} << 20}) {
        SCOPED_TRACE(size);
        TempDir dir;
        const std::string source = dir.writeFile("src/f", patterned(size), kSeenAt + 100);
        dir.makeLink("src/link", "somewhere");
        const std::string seen = dir.writeFile("dst/seen", "as seen", kSeenAt);
        const std::string changed = dir.writeFile("dst/changed", "rewritten", kSeenAt + 50);
        const std::string appeared = dir.writeFile("dst/appeared", "new", kSeenAt + 50);
        const SeenTarget asSeen{true, 7, kSeenAt};
        const SeenTarget free{};
        auto& fs = realFileSystem();

        EXPECT_EQ(fs.copyFile(source, changed, false, nullptr, false, &asSeen),
                  velmora::platform::kChangedAfterAnalysis);
        EXPECT_EQ(fs.copyFile(source, appeared, false, nullptr, false, &free),
                  velmora::platform::kChangedAfterAnalysis);
        EXPECT_EQ(fs.copyFile(dir.at("src/link"), appeared, false, nullptr, false, &free),
                  velmora::platform::kChangedAfterAnalysis);
        EXPECT_EQ(fs.deleteFile(changed, false, &asSeen), velmora::platform::kChangedAfterAnalysis);
        EXPECT_EQ(TempDir::readFile(changed), "rewritten");
        EXPECT_EQ(TempDir::readFile(appeared), "new");

        EXPECT_EQ(fs.copyFile(source, seen, false, nullptr, false, &asSeen), 0);
        EXPECT_EQ(TempDir::readFile(seen), patterned(size));
        EXPECT_EQ(fs.copyFile(source, dir.at("dst/free"), false, nullptr, false, &free), 0);
        const SeenTarget copied{true, size, kSeenAt + 100};
        EXPECT_EQ(fs.deleteFile(dir.at("dst/free"), false, &copied), 0);
        EXPECT_EQ(dir.temporaryFiles("dst").size(), 0u);
    }
}
