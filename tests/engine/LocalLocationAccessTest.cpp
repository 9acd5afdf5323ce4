#include "engine/LocalLocationAccess.h"

#include "support/FakeFrontEnd.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora {
namespace {

using test::FsOp;

class LocalLocationAccessTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FaultyFileSystem fs;
    test::FakeFrontEnd frontEnd;
    std::atomic<bool> stop{false};
    LastReason reason;
    std::uint64_t workDone = 0;
    FileCommands commands{fs, frontEnd, stop, reason};
    LocalLocationAccess access{commands, stop, workDone};

    static std::vector<std::string> names(const std::vector<FileItemPtr>& items) {
        std::vector<std::string> result;
        for (const FileItemPtr& item : items)
            result.push_back(item->name);
        return result;
    }
};

TEST_F(LocalLocationAccessTest, ReadFolderSplitsAndSortsByNameIgnoringCase) {
    dir.writeFile("b.txt", "bb", 1700000000);
    dir.writeFile("A.txt", "a");
    dir.writeFile("12:30 notes.txt", "n");
    dir.writeFile("back\\slash", "n");
    dir.makeFolder("zeta");
    dir.makeFolder("Alpha");
    dir.makeLink("link-to-folder", "zeta");

    std::vector<FileItemPtr> files, folders;
    ASSERT_TRUE(access.readFolder(dir.path(), files, folders));
    EXPECT_EQ(names(files), (std::vector<std::string>{"12:30 notes.txt", "A.txt", "b.txt", "back\\slash",
                                                      "link-to-folder"}));
    EXPECT_EQ(names(folders), (std::vector<std::string>{"Alpha", "zeta"}));

    const FileItem& b = *files[2];
    EXPECT_EQ(b.folder, dir.path());
    EXPECT_EQ(b.kind, kFile);
    EXPECT_EQ(b.size, 2u);
    EXPECT_TRUE(b.forwardSlash);
    EXPECT_EQ(b.fullPath(), dir.at("b.txt"));
    EXPECT_FALSE(b.date.empty());
    EXPECT_EQ(folders[0]->folderForm(), dir.at("Alpha/"));
}

TEST_F(LocalLocationAccessTest, FolderThatCannotBeListedFailsWithItsReason) {
    fs.failOn(FsOp::ListFolder, EACCES);
    std::vector<FileItemPtr> files{std::make_shared<FileItem>()}, folders;
    EXPECT_FALSE(access.readFolder(dir.path(), files, folders));
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(reason.get(), "Permission denied");
    EXPECT_EQ(access.lastListError(), EACCES);

    EXPECT_FALSE(access.readFolder(dir.at("missing/"), files, folders));
    EXPECT_EQ(reason.get(), "No such file or directory");
}

TEST_F(LocalLocationAccessTest, UnreadableFolderIsAFailureForAnOrdinaryUser) {
    VELMORA_SKIP_UNLESS_ROOT();
    dir.writeFile("locked/inside.txt", "x");
    dir.openToEveryone();
    dir.setMode("locked", 0300);
    std::string locked = dir.at("locked/");
    auto result = test::runUnprivileged([&] {
        std::vector<FileItemPtr> files, folders;
        return access.readFolder(locked, files, folders) ? 1 : (reason.get() == "Permission denied" ? 0 : 2);
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, 0);
}

TEST_F(LocalLocationAccessTest, AListingThatStopsAnsweringTimesOutOrEndsOnStop) {
    dir.writeFile("f", "");
    std::vector<FileItemPtr> items{std::make_shared<FileItem>()};
    fs.hangFor(FsOp::ListFolder, std::chrono::milliseconds(1600));
    commands.setTimeout(1);
    EXPECT_FALSE(access.listFolder(dir.path(), items));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(reason.get(), "Timed out");
    EXPECT_EQ(access.lastListError(), ETIMEDOUT);

    fs.hang(FsOp::ListFolder);
    frontEnd.pumps = 0;
    frontEnd.stopAtPump(stop, 3);
    EXPECT_TRUE(access.listFolder(dir.path(), items));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(frontEnd.pumps, 3);
    fs.release();
}

TEST_F(LocalLocationAccessTest, SizesPastFourGigabytesAreWhole) {
    std::string path = dir.writeFile("sparse.bin", "");
    ASSERT_EQ(::truncate(path.c_str(), (5LL << 30) + 7), 0);
    std::vector<FileItemPtr> items;
    ASSERT_TRUE(access.listFolder(dir.path(), items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->size, (5ULL << 30) + 7);
}

TEST_F(LocalLocationAccessTest, CopyCountsTheBytesAndHonoursReadOnly) {
    dir.writeFile("src/a.txt", "12345");
    dir.writeFile("dst/a.txt", "old");
    dir.setMode("dst/a.txt", 0444);
    std::vector<FileItemPtr> source, target;
    ASSERT_TRUE(access.listFolder(dir.at("src/"), source));
    ASSERT_TRUE(access.listFolder(dir.at("dst/"), target));

    EXPECT_FALSE(access.copyFile(*source[0], *target[0]));
    EXPECT_EQ(workDone, 5u);
    access.setReadOnlyOverwrite(true);
    EXPECT_TRUE(access.copyFile(*source[0], *target[0]));
    EXPECT_EQ(workDone, 10u);
    EXPECT_EQ(test::TempDir::readFile(dir.at("dst/a.txt")), "12345");
    EXPECT_TRUE(access.deleteFile(*target[0]));
    EXPECT_FALSE(test::TempDir::exists(dir.at("dst/a.txt")));
}

TEST_F(LocalLocationAccessTest, ExclusionTestsUseTheirOwnSet) {
    ExclusionSet first, second;
    first.addWildcard("*.tmp");
    first.finish();
    second.addExplicit(dir.at("keep.txt"));
    second.finish();
    access.setExclusions(&first, &second);
    FileItem tmp, keep;
    tmp.setPath(dir.at("x.tmp"));
    keep.setPath(dir.at("keep.txt"));
    EXPECT_TRUE(access.isExcludedByFirst(tmp));
    EXPECT_FALSE(access.isExcludedBySecond(tmp));
    EXPECT_TRUE(access.isExcludedBySecond(keep));
    EXPECT_FALSE(access.isExcludedByFirst(keep));
}

} // namespace
} // namespace velmora
