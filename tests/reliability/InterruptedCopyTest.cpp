// Copies that fail half-way, fail at once or are killed: the old target stays whole, the report
// names the system's reason and nothing temporary is left behind.
#include "CliChild.h"
#include "engine/SyncRig.h"
#include "platform/FileCopy.h"
#include "platform/FileHandle.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr std::time_t kTime = SyncRig::kTime;

constexpr std::size_t kBlock = 1u << 20;

// One block of a version's content: every byte differs from the same byte of any other `seed`,
// and each block carries its number, so that a target made of parts of two versions, or of
// blocks in the wrong places, is told apart from either version.
std::string patternBlock(std::uint64_t number, unsigned seed) {
    static std::string bases[4];
    std::string& base = bases[seed % 4];
    if (base.empty()) {
        base.resize(kBlock);
        for (std::size_t i = 0; i < kBlock; ++i)
            base[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 12)) % 251);
    }
    std::string block = base;
    for (std::size_t i = 0; i < sizeof number; ++i)
        block[i] = static_cast<char>(((number >> (8 * i)) & 0xFF) ^ (seed * 0x35));
    return block;
}

void writePattern(const std::string& path, std::uint64_t size, unsigned seed, std::time_t modified) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    for (std::uint64_t done = 0, number = 0; done < size; ++number) {
        const std::string block = patternBlock(number, seed);
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - done));
        ASSERT_EQ(std::fwrite(block.data(), 1, length, file), length);
        done += length;
    }
    ASSERT_EQ(std::fclose(file), 0);
    const struct timespec times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Whether the file holds exactly `size` bytes of the version of `seed`.
bool holdsPattern(const std::string& path, std::uint64_t size, unsigned seed) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::string chunk(kBlock, '\0');
    std::uint64_t done = 0;
    bool same = true;
    for (std::uint64_t number = 0; same; ++number) {
        const std::size_t length = std::fread(chunk.data(), 1, kBlock, file);
        if (length == 0)
            break;
        same = std::memcmp(chunk.data(), patternBlock(number, seed).data(), length) == 0;
        done += length;
    }
    std::fclose(file);
    return same && done == size;
}

TEST(InterruptedCopyTest, ACopyCutShortByAFileSizeLimitKeepsTheOldTargetAndSaysWhy) {
    TempDir dir;
    dir.makeFolder("dst");
    constexpr std::uint64_t kSize = 4u << 20;
    dir.makeFolder("src");
    writePattern(dir.at("src/big.bin"), kSize, 2, kTime + 3600);
    writePattern(dir.at("src/new.bin"), kSize, 3, kTime);
    dir.writeFile("src/small.txt", "fits", kTime);
    dir.writeFile("dst/big.bin", "the old version", kTime);

    // Writes past 256 KiB fail with EFBIG: each large copy fails with part of it written.
    CliChild child(dir, {"--yes", dir.at("src"), dir.at("dst")}, 256 << 10);
    EXPECT_EQ(child.wait(), 1) << child.err();

    EXPECT_EQ(TempDir::readFile(dir.at("dst/big.bin")), "the old version");
    EXPECT_FALSE(TempDir::exists(dir.at("dst/new.bin")));
    EXPECT_EQ(TempDir::readFile(dir.at("dst/small.txt")), "fits");
    EXPECT_THAT(dir.temporaryFiles("dst"), IsEmpty());
    const std::string out = child.out();
    EXPECT_NE(out.find("Synchronisation done:\n"), std::string::npos) << out;
    const std::string err = child.err();
    EXPECT_NE(err.find("Some problems were encountered:\n"
                       "  CSynchroniserDlg::processFiles (overwrite): Could not copy file: " +
                       dir.at("dst/big.bin") +
                       "\n"
                       "  File too large\n"
                       "  CSynchroniserDlg::processFiles (add): Could not copy file: " +
                       dir.at("dst/new.bin") + "\n  File too large\n"),
              std::string::npos)
        << err;
}

TEST(InterruptedCopyTest, NoSpaceAndInputOutputErrorsKeepTheOldTargetsAndGiveTheSystemsReasons) {
    for (const auto& [error, reason] :
         {std::pair{ENOSPC, "No space left on device"}, {EIO, "Input/output error"}}) {
        SCOPED_TRACE(reason);
        SyncRig rig;
        rig.file("src/a.txt", "new a", 3600);
        rig.file("dst/a.txt", "old a");
        rig.file("src/b.txt", "new b");
        rig.file("src/folder/c.txt", "new c");
        rig.fs.failAlways(FsOp::CopyFile, error);

        const RunOutcome outcome = rig.run();
        EXPECT_FALSE(outcome.failed);
        ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
        EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
        EXPECT_THAT(
            rig.results.problems,
            ElementsAre(
                "CSynchroniserDlg::processFiles (overwrite): Could not copy file: " + rig.target + "a.txt",
                reason, "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.target + "b.txt",
                reason, "CSynchroniserDlg::copyDirectory: Could not add file: " + rig.target + "folder/c.txt",
                reason));
        EXPECT_EQ(rig.read("dst/a.txt"), "old a");
        EXPECT_THAT(rig.tree("dst"), ElementsAre("a.txt", "folder/"));
        EXPECT_THAT(rig.relative(rig.results.failedOverwritten), ElementsAre("dst/a.txt"));
        EXPECT_THAT(rig.relative(rig.results.failedAdded), ElementsAre("dst/b.txt", "dst/folder/c.txt"));
    }
}

// How long the killed copy may take to begin before the test gives up.
constexpr int kWaitForCopyMillis = 120000;

TEST(InterruptedCopyTest, AProgramKilledMidCopyLeavesTheOldOrTheNewFileAndTheNextRunFinishes) {
    TempDir dir;
    dir.makeFolder("src");
    dir.makeFolder("dst");
    constexpr std::uint64_t kSize = 320ull << 20;
    writePattern(dir.at("src/big.bin"), kSize, 2, kTime + 3600);
    writePattern(dir.at("dst/big.bin"), kSize, 1, kTime);

    bool sawCopy = false;
    {
        CliChild child(dir, {"--yes", "-q", dir.at("src"), dir.at("dst")});
        sawCopy = child.waitForCopyIn(dir.at("dst"), kWaitForCopyMillis);
        if (sawCopy)
            child.kill(SIGKILL);
        const int status = child.wait();
        ASSERT_TRUE(sawCopy) << "the copy ended before it was seen under way; status " << status;
        EXPECT_EQ(status, -SIGKILL) << child.err();
    }
    // The overwrite was written unnamed: nothing of it is left behind.
    EXPECT_THAT(dir.temporaryFiles("dst"), IsEmpty());

    const bool old = holdsPattern(dir.at("dst/big.bin"), kSize, 1);
    const bool fresh = holdsPattern(dir.at("dst/big.bin"), kSize, 2);
    EXPECT_TRUE(old || fresh) << "the target mixes the two versions";

    // The next run puts the new version in place and removes what the killed one left.
    CliChild again(dir, {"--yes", "-q", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(again.wait(), 0) << again.out() << again.err();
    EXPECT_TRUE(holdsPattern(dir.at("dst/big.bin"), kSize, 2));
    EXPECT_THAT(dir.temporaryFiles("dst"), IsEmpty());
    std::vector<std::string> target = dir.listTree();
    std::erase_if(target, [](const std::string& path) { return !path.starts_with("dst/"); });
    EXPECT_THAT(target, ElementsAre("dst/", "dst/big.bin"));
}

// Puts the mark of this program's temporary files on a file; false where the file system keeps none.
bool markAsOurs(const std::string& path) {
    platform::FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    platform::markTemporary(file.get());
    const std::size_t slash = path.rfind('/');
    platform::FileHandle folder(::open(path.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return platform::isMarkedTemporary(folder.get(), path.substr(slash + 1));
}

// What a run killed between naming a finished copy and renaming it could leave: the next run that
// may write removes it from the target, says so in the results and with each removal, and never
// copies one. A user's file that merely has such a name is an ordinary file, and a dry run
// removes nothing at all.
TEST(InterruptedCopyTest, OnlyMarkedLeftoversAreRemovedAndOnlyByARunThatMayWrite) {
    for (const RunMode mode : {RunMode::PlanOnly, RunMode::Execute}) {
        SCOPED_TRACE(mode == RunMode::PlanOnly ? "plan only" : "execute");
        SyncRig rig;
        rig.options.deleteMissing = false;
        rig.file("src/a.txt", "a");
        rig.file("src/.a.txt.velmora-Qq12Zz", "a leftover in the source");
        rig.file("src/.mine.velmora-Zz9Qx1", "a user's file in the source");
        rig.file("dst/.big.bin.velmora-Ab12Cd", "a leftover");
        rig.file("dst/sub/.x.velmora-ZZ9999", "a read-only leftover");
        rig.file("dst/.notes.velmora-a1b2c3", "a user's file");
        rig.file("src/sub/kept.txt", "kept");
        for (const char* ours :
             {"src/.a.txt.velmora-Qq12Zz", "dst/.big.bin.velmora-Ab12Cd", "dst/sub/.x.velmora-ZZ9999"})
            if (!markAsOurs(rig.dir.at(ours)))
                GTEST_SKIP() << "this file system keeps no extended attributes";
        rig.dir.setMode("dst/sub/.x.velmora-ZZ9999", 0444);

        rig.synchroniser.synchronise(rig.source, rig.target, mode);
        EXPECT_THAT(rig.results.problems, IsEmpty());
        if (mode == RunMode::PlanOnly) {
            EXPECT_THAT(rig.tree("dst"), ElementsAre(".big.bin.velmora-Ab12Cd", ".notes.velmora-a1b2c3",
                                                     "sub/", "sub/.x.velmora-ZZ9999"));
            EXPECT_THAT(rig.results.removedLeftovers, IsEmpty());
            EXPECT_THAT(rig.targets(rig.actions.filesToAdd),
                        ElementsAre("dst/.mine.velmora-Zz9Qx1", "dst/a.txt", "dst/sub/kept.txt"));
            continue;
        }
        EXPECT_THAT(rig.tree("dst"), ElementsAre(".mine.velmora-Zz9Qx1", ".notes.velmora-a1b2c3", "a.txt",
                                                 "sub/", "sub/kept.txt"));
        EXPECT_THAT(rig.results.removedLeftovers, ElementsAre(rig.dir.at("dst/.big.bin.velmora-Ab12Cd"),
                                                              rig.dir.at("dst/sub/.x.velmora-ZZ9999")));
        EXPECT_EQ(rig.read("src/.a.txt.velmora-Qq12Zz"), "a leftover in the source");
    }
}

} // namespace
} // namespace velmora::test
