#include "platform/AtomicFile.h"

#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::platform {
namespace {

TEST(AtomicFile, ReplacesContentsAndKeepsPermissionBits) {
    test::TempDir dir;
    const std::string file = dir.writeFile("a.vmp", "old contents that are longer");
    dir.setMode("a.vmp", 0640);
    ASSERT_EQ(writeFileAtomically(file, "new"), 0);
    EXPECT_EQ(test::TempDir::readFile(file), "new");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(dir.temporaryFiles().empty());

    std::string back;
    EXPECT_EQ(readWholeFile(file, back), 0);
    EXPECT_EQ(back, "new");
}

TEST(AtomicFile, LinkStaysALinkAndItsTargetIsReplaced) {
    test::TempDir dir;
    const std::string target = dir.writeFile("real/Velmora.conf", "old");
    const std::string link = dir.makeLink("Velmora.conf", target);
    ASSERT_EQ(writeFileAtomically(link, "new"), 0);
    EXPECT_EQ(test::TempDir::readFile(target), "new");
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(AtomicFile, FailuresLeaveTheOldFileAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string blocker = dir.writeFile("plain", "I am a file");
    EXPECT_EQ(writeFileAtomically(blocker + "/under.vmp", "x"), ENOTDIR);
    EXPECT_EQ(writeFileAtomically(dir.makeFolder("folder"), "x"), EISDIR);
    EXPECT_EQ(test::TempDir::readFile(blocker), "I am a file");

    std::string back = "stale";
    EXPECT_EQ(readWholeFile(dir.at("missing"), back), ENOENT);
    EXPECT_EQ(back, "");
    EXPECT_EQ(readWholeFile(dir.at("folder"), back), EISDIR);
}

TEST(AtomicFile, RefusedWriteLeavesTheOldFileWhole) {
    VELMORA_SKIP_UNLESS_ROOT();
    test::TempDir dir;
    const std::string file = dir.writeFile("locked/a.vmb", "precious");
    dir.openToEveryone();
    dir.setMode("locked/a.vmb", 0666); // the file is writable, its folder is not
    dir.setMode("locked", 0555);
    const auto result = test::runUnprivileged([&file] { return writeFileAtomically(file, "replacement"); });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, EACCES);
    EXPECT_EQ(test::TempDir::readFile(file), "precious");
    EXPECT_TRUE(dir.temporaryFiles("locked").empty());
}

TEST(AtomicFile, CreateFoldersMakesEveryMissingLevel) {
    test::TempDir dir;
    EXPECT_EQ(createFolders(dir.at("a/b/c")), 0);
    EXPECT_TRUE(test::TempDir::exists(dir.at("a/b/c")));
    EXPECT_EQ(createFolders(dir.at("a/b/c")), 0);
    dir.writeFile("f", "");
    EXPECT_EQ(createFolders(dir.at("f/g")), ENOTDIR);
}

} // namespace
} // namespace velmora::platform
