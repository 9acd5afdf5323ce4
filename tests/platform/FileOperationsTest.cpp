#include "platform/FileSystem.h"
#include "platform/TemporaryRegistry.h"
#include "support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

using velmora::platform::FileAttributes;
using velmora::platform::realFileSystem;
using velmora::test::TempDir;

namespace {

unsigned modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

} // namespace

// Root ignores permission bits, so these refusals must come from our own check.
TEST(FileOperations, ReadOnlyFilesAndFoldersAreRefusedEvenForRoot) {
    TempDir dir;
    const std::string file = dir.writeFile("file", "kept");
    const std::string folder = dir.makeFolder("folder");
    dir.setMode("file", 0444);
    dir.setMode("folder", 0555);

    EXPECT_EQ(realFileSystem().deleteFile(file), EACCES);
    EXPECT_EQ(realFileSystem().removeFolder(folder), EACCES);
    EXPECT_EQ(realFileSystem().removeFolder(folder + "/"), EACCES);
    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{"file", "folder/"}));

    // One write bit for anyone is enough to count as writable.
    dir.setMode("file", 0404 | 0020);
    dir.setMode("folder", 0575);
    EXPECT_EQ(realFileSystem().deleteFile(file), 0);
    EXPECT_EQ(realFileSystem().removeFolder(folder + "/"), 0);
    EXPECT_TRUE(dir.listTree().empty());
}

TEST(FileOperations, DeletingOrRemovingALinkNeverReachesWhatItPointsAt) {
    TempDir outside;
    outside.writeFile("folder/inside", "whole");
    outside.setMode("folder/inside", 0444);
    const auto before = outside.listTree();
    TempDir dir;
    const std::string toFolder = dir.makeLink("to-folder", outside.at("folder"));
    const std::string toFile = dir.makeLink("to-file", outside.at("folder/inside"));

    // A link to a read-only file is not itself read-only.
    EXPECT_EQ(realFileSystem().removeFolder(toFolder), ENOTDIR);
    EXPECT_EQ(realFileSystem().removeFolder(toFolder + "/"), ENOTDIR);
    EXPECT_EQ(realFileSystem().deleteFile(toFile), 0);
    EXPECT_EQ(realFileSystem().deleteFile(toFolder), 0);

    EXPECT_TRUE(dir.listTree().empty());
    EXPECT_EQ(outside.listTree(), before);
    EXPECT_EQ(TempDir::readFile(outside.at("folder/inside")), "whole");
}

TEST(FileOperations, DeleteAndRemoveRefuseTheWrongKind) {
    TempDir dir;
    const std::string file = dir.writeFile("file", "x");
    const std::string folder = dir.makeFolder("folder");
    dir.writeFile("full/child", "x");
    EXPECT_EQ(realFileSystem().deleteFile(folder), EISDIR);
    EXPECT_EQ(realFileSystem().removeFolder(file), ENOTDIR);
    EXPECT_EQ(realFileSystem().removeFolder(dir.at("full")), ENOTEMPTY);
    EXPECT_EQ(realFileSystem().deleteFile(dir.at("missing")), ENOENT);
    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{"file", "folder/", "full/", "full/child"}));
}

TEST(FileOperations, MoveRenamesButNeverReplaces) {
    TempDir dir;
    const std::string a = dir.writeFile("a", "first", 1'100'000'000, 42);
    const std::string b = dir.writeFile("b", "second");
    dir.makeFolder("sub");

    EXPECT_EQ(realFileSystem().moveFile(a, b), EEXIST);
    EXPECT_EQ(realFileSystem().moveFile(a, dir.at("sub")), EEXIST);
    EXPECT_EQ(TempDir::readFile(a), "first");
    EXPECT_EQ(TempDir::readFile(b), "second");

    ASSERT_EQ(realFileSystem().moveFile(a, dir.at("sub/a")), 0);
    EXPECT_EQ(TempDir::readFile(dir.at("sub/a")), "first");
    struct stat info {};
    ASSERT_EQ(::lstat(dir.at("sub/a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_nsec, 42);
    EXPECT_EQ(realFileSystem().moveFile(dir.at("gone"), dir.at("c")), ENOENT);
    EXPECT_EQ(dir.listTree(), (std::vector<std::string>{"b", "sub/", "sub/a"}));
}

TEST(FileOperations, AttributesComeFromTheEntryItselfAndSettingThemSkipsLinks) {
    TempDir dir;
    const std::string file = dir.writeFile("file", "12345");
    dir.setMode("file", 0600);
    const std::string link = dir.makeLink("link", file);

    FileAttributes attributes;
    ASSERT_EQ(realFileSystem().getAttributes(link, attributes), 0);
    EXPECT_TRUE(attributes.isLink);
    EXPECT_FALSE(attributes.isDirectory);
    EXPECT_FALSE(attributes.readOnly);

    EXPECT_EQ(realFileSystem().setAttributes(link, 0444), 0);
    EXPECT_EQ(modeOf(file), 0600u);

    ASSERT_EQ(realFileSystem().setAttributes(file, 0100444), 0);
    EXPECT_EQ(modeOf(file), 0444u);
    ASSERT_EQ(realFileSystem().getAttributes(file, attributes), 0);
    EXPECT_TRUE(attributes.readOnly);
    EXPECT_FALSE(attributes.isLink);
    EXPECT_EQ(attributes.size, 5u);
    EXPECT_EQ(realFileSystem().getAttributes(dir.at("missing"), attributes), ENOENT);
    EXPECT_EQ(realFileSystem().setAttributes(dir.at("missing"), 0644), ENOENT);
}

TEST(FileOperations, CreateFolderMakesOneFolderAndSaysWhenItCannot) {
    TempDir dir;
    ASSERT_EQ(realFileSystem().createFolder(dir.at("new")), 0);
    FileAttributes attributes;
    ASSERT_EQ(realFileSystem().getAttributes(dir.at("new"), attributes), 0);
    EXPECT_TRUE(attributes.isDirectory);
    EXPECT_EQ(attributes.size, 0u);
    EXPECT_EQ(realFileSystem().createFolder(dir.at("new")), EEXIST);
    EXPECT_EQ(realFileSystem().createFolder(dir.at("a/b")), ENOENT);
}

// What a second stop signal removes before the program ends: the names still registered, no
// others.
TEST(TemporaryRegistry, RemovesTheNamesStillRegisteredAndNoOthers) {
    TempDir dir;
    const std::string kept = dir.writeFile(".a.velmora-AAAAAA", "under way");
    const std::string done = dir.writeFile(".b.velmora-BBBBBB", "renamed into place meanwhile");
    velmora::platform::TemporaryName underWay(AT_FDCWD, kept);
    { velmora::platform::TemporaryName finished(AT_FDCWD, done); }
    velmora::platform::removeRegisteredTemporaries();
    EXPECT_FALSE(TempDir::exists(kept));
    EXPECT_TRUE(TempDir::exists(done));
}
