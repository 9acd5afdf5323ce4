#include "platform/Trash.h"

#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

using test::TempDir;

unsigned modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TrashOwner ownerWith(std::string dataHome, std::string home) {
    TrashOwner owner;
    owner.dataHome = std::move(dataHome);
    owner.home = std::move(home);
    owner.uid = ::getuid();
    owner.now = 1'700'000'000;
    return owner;
}

TEST(Trash, InfoPathsEscapeEverythingButPlainCharacters) {
    EXPECT_EQ(trashInfoPath("/home/ann/Notes-1_v2.txt~"), "/home/ann/Notes-1_v2.txt~");
    EXPECT_EQ(trashInfoPath("/a b/\xC3\xA9t\xC3\xA9 50%"), "/a%20b/%C3%A9t%C3%A9%2050%25");
    EXPECT_EQ(trashInfoPath("x\ny=[z]"), "x%0Ay%3D%5Bz%5D");
}

// The home trash, whichever of XDG_DATA_HOME and HOME names it, and made when missing.
TEST(Trash, TheHomeTrashIsMadeWhereTheDesktopLooksAndTakesTheItem) {
    struct Case {
        const char* name;
        const char* dataHome; // relative to the temporary folder; "" for not set
        const char* home;
        const char* trash;
    };
    const Case cases[] = {
        {"data home set but missing", "no/such/share", "home", "no/such/share/Trash"},
        {"only HOME, no .local/share yet", "", "home", "home/.local/share/Trash"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.makeFolder("home");
        const std::string item = dir.writeFile("work/my report.txt", "draft");
        const TrashOwner owner = ownerWith(*c.dataHome ? dir.at(c.dataHome) : "", dir.at(c.home));
        const TrashResult result = moveToTrash(item, owner);
        ASSERT_EQ(result.error, 0) << result.reason;
        const std::string trash = dir.at(c.trash);
        EXPECT_EQ(result.trashedAs, trash + "/files/my report.txt");
        EXPECT_EQ(TempDir::readFile(result.trashedAs), "draft");
        EXPECT_FALSE(TempDir::exists(item));
        for (const std::string& folder : {trash, trash + "/files", trash + "/info"})
            EXPECT_EQ(modeOf(folder), 0700u) << folder;
        const std::string info = TempDir::readFile(trash + "/info/my report.txt.trashinfo");
        EXPECT_TRUE(
            std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=" + dir.at("work/my%20report.txt") +
                                              "\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
            << info;
    }
}

TEST(Trash, ASecondItemOfTheSameNameGetsANameOfItsOwn) {
    TempDir dir;
    const TrashOwner owner = ownerWith(dir.at("share"), "");
    dir.writeFile("a/notes", "first");
    dir.writeFile("b/notes/inside", "second");
    dir.writeFile("share/Trash/files/notes.3", "left without its info");
    dir.writeFile("share/Trash/info/notes.2.trashinfo", "an entry whose file is gone");
    ASSERT_EQ(moveToTrash(dir.at("a/notes"), owner).error, 0);
    const TrashResult second = moveToTrash(dir.at("b/notes/"), owner);
    ASSERT_EQ(second.error, 0) << second.reason;
    EXPECT_EQ(second.trashedAs, dir.at("share/Trash/files/notes.4"));
    EXPECT_EQ(TempDir::readFile(dir.at("share/Trash/files/notes")), "first");
    EXPECT_EQ(TempDir::readFile(second.trashedAs + "/inside"), "second");
    EXPECT_EQ(TempDir::readFile(dir.at("share/Trash/files/notes.3")), "left without its info");
    EXPECT_FALSE(TempDir::exists(dir.at("share/Trash/info/notes.3.trashinfo")));
}

// Whatever keeps the trash from taking an item, the item stays where it was and nothing is made
// anywhere else (the working folder least of all).
TEST(Trash, AnItemTheTrashCannotTakeStaysWhereItIs) {
    struct Case {
        const char* name;
        const char* dataHome;
        const char* home;
        const char* item;
    };
    const Case cases[] = {
        {"no absolute data home nor home", "", "", "work/file"},
        {"the trash's place is a file", "plain-file", "", "work/file"},
        {"a name that is no item", "share", "", "work/.."},
        {"an item that does not exist", "share", "", "work/missing"},
        {"the folder holding the trash", "share", "", "share"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.writeFile("work/file", "keep me");
        dir.writeFile("plain-file", "");
        dir.makeFolder("cwd");
        dir.makeFolder("share");
        char previous[4096];
        ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(::chdir(dir.at("cwd").c_str()), 0);
        const TrashResult result = moveToTrash(
            dir.at(c.item), ownerWith(*c.dataHome ? dir.at(c.dataHome) : "", *c.home ? dir.at(c.home) : ""));
        ASSERT_EQ(::chdir(previous), 0);
        EXPECT_NE(result.error, 0);
        EXPECT_FALSE(result.reason.empty());
        EXPECT_EQ(TempDir::readFile(dir.at("work/file")), "keep me");
        EXPECT_TRUE(TempDir::exists(dir.at("share")));
        for (const std::string& path : dir.listTree())
            EXPECT_TRUE(path == "cwd/" || path.rfind("cwd/", 0) != 0)
                << path << " made in the working folder";
    }
}

// A scratch file system of its own (tmpfs), so its items belong in its top-directory trash.
class OtherFileSystem {
public:
    explicit OtherFileSystem(const std::string& folder) : folder_(folder) {
        mounted_ =
            std::system(("mount -t tmpfs -o size=4m,mode=0755 velmora-trash '" + folder + "'").c_str()) == 0;
    }
    ~OtherFileSystem() {
        if (mounted_)
            std::system(("umount -l '" + folder_ + "'").c_str());
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST(Trash, ItemsOnAnotherFileSystemGoToItsTopDirectoryTrash) {
    VELMORA_SKIP_UNLESS_ROOT();
    struct Case {
        const char* name;
        unsigned sharedTrashMode; // 0: no .Trash
        const char* trash;
    };
    const Case cases[] = {
        {"none provided: .Trash-$uid", 0, ".Trash-0"},
        {"an administrator's sticky .Trash", 01777, ".Trash/0"},
        {"a .Trash without the sticky bit is not trusted", 0777, ".Trash-0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string top = dir.makeFolder("volume");
        const OtherFileSystem volume(top);
        if (!volume.mounted())
            GTEST_SKIP() << "could not mount a tmpfs";
        if (c.sharedTrashMode != 0) {
            dir.makeFolder("volume/.Trash");
            dir.setMode("volume/.Trash", c.sharedTrashMode);
        }
        const std::string item = dir.writeFile("volume/photos/2024/beach.jpg", "jpeg");
        const TrashResult result = moveToTrash(item, ownerWith(dir.at("share"), ""));
        ASSERT_EQ(result.error, 0) << result.reason;
        EXPECT_EQ(result.trashedAs, top + "/" + c.trash + "/files/beach.jpg");
        EXPECT_EQ(modeOf(top + "/" + c.trash), 0700u);
        const std::string info = TempDir::readFile(top + "/" + c.trash + "/info/beach.jpg.trashinfo");
        EXPECT_NE(info.find("\nPath=photos/2024/beach.jpg\n"), std::string::npos) << info;
        EXPECT_FALSE(TempDir::exists(dir.at("share"))) << "nothing made in the home trash";
    }
}

TEST(Trash, AFileSystemWhoseTopTheUserCannotWriteKeepsTheItem) {
    VELMORA_SKIP_UNLESS_ROOT();
    TempDir dir;
    dir.openToEveryone();
    const std::string top = dir.makeFolder("volume");
    const OtherFileSystem volume(top);
    if (!volume.mounted())
        GTEST_SKIP() << "could not mount a tmpfs";
    const std::string item = dir.writeFile("volume/shared/list.txt", "milk");
    dir.setMode("volume/shared", 0777);
    dir.setMode("volume/shared/list.txt", 0666);
    const test::UnprivilegedResult result = test::runUnprivileged([&] {
        TrashOwner owner = ownerWith(dir.at("nobody-share"), "");
        owner.uid = ::getuid();
        return moveToTrash(item, owner).error;
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, EACCES);
    EXPECT_EQ(TempDir::readFile(item), "milk");
    EXPECT_FALSE(TempDir::exists(top + "/.Trash-65534"));
}

} // namespace
} // namespace velmora::platform
