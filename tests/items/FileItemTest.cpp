#include "items/FileItem.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct SplitCase {
    const char* text;
    PathStyle style;
    const char* folder;
    const char* name;
    int kind;
    const char* fullPath;
    const char* displayPath;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << '"' << c.text << '"' << (c.style == PathStyle::Posix ? " posix" : " windows");
}

class PathSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(PathSplitting, GivesFolderNameKindAndBothForms) {
    const SplitCase& c = GetParam();
    const FileItemPtr item = makeItem(c.text, c.style);
    EXPECT_EQ(item->folder, c.folder);
    EXPECT_EQ(item->name, c.name);
    EXPECT_EQ(static_cast<int>(item->kind), c.kind);
    EXPECT_EQ(item->fullPath(), c.fullPath);
    EXPECT_EQ(item->displayPath(), c.displayPath);
}

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

INSTANTIATE_TEST_SUITE_P(
    WindowsExamples, PathSplitting,
    testing::Values(
        SplitCase{R"(C:\Data\Sub\)", W, R"(C:\Data\)", "Sub", 1, R"(C:\Data\Sub)", R"(C:\Data\Sub\)"},
        SplitCase{R"(C:\Data\a.txt)", W, R"(C:\Data\)", "a.txt", 2, R"(C:\Data\a.txt)", R"(C:\Data\a.txt)"},
        SplitCase{R"(C:\)", W, "", "C:", 1, "C:", R"(C:\)"},
        SplitCase{"*.tmp", W, "", "*.tmp", 2, "*.tmp", "*.tmp"},
        SplitCase{R"(C:\Data\*.tmp)", W, R"(C:\Data\)", "*.tmp", 2, R"(C:\Data\*.tmp)", R"(C:\Data\*.tmp)"},
        SplitCase{R"(\\Server)", W, "", R"(\\Server)", 2, R"(\\Server)", R"(\\Server)"},
        SplitCase{R"(\\Server\Share\)", W, R"(\\Server\)", "Share", 1, R"(\\Server\Share)",
                  R"(\\Server\Share\)"},
        // A folder typed without its trailing separator is a file by kind.
        SplitCase{R"(C:\Data\Sub)", W, R"(C:\Data\)", "Sub", 2, R"(C:\Data\Sub)", R"(C:\Data\Sub)"},
        SplitCase{"C:/Data/Sub/", W, "C:/Data/", "Sub", 1, "C:/Data/Sub", "C:/Data/Sub/"},
        SplitCase{"D:", W, "", "D:", 1, "D:", R"(D:\)"}));

INSTANTIATE_TEST_SUITE_P(
    LinuxExamples, PathSplitting,
    testing::Values(SplitCase{"/data/Sub/", P, "/data/", "Sub", 1, "/data/Sub", "/data/Sub/"},
                    SplitCase{"/data/a.txt", P, "/data/", "a.txt", 2, "/data/a.txt", "/data/a.txt"},
                    SplitCase{"/", P, "/", "", 1, "/", "/"}, SplitCase{"///", P, "/", "", 1, "/", "/"},
                    SplitCase{"*.tmp", P, "", "*.tmp", 2, "*.tmp", "*.tmp"},
                    SplitCase{"/data/*.tmp", P, "/data/", "*.tmp", 2, "/data/*.tmp", "/data/*.tmp"},
                    SplitCase{"/data/Sub//", P, "/data/", "Sub", 1, "/data/Sub", "/data/Sub/"},
                    // Backslashes and colons are ordinary name bytes on Linux.
                    SplitCase{"/notes/12:30 notes.txt", P, "/notes/", "12:30 notes.txt", 2,
                              "/notes/12:30 notes.txt", "/notes/12:30 notes.txt"},
                    SplitCase{R"(/x/a\b\)", P, "/x/", R"(a\b\)", 2, R"(/x/a\b\)", R"(/x/a\b\)"},
                    SplitCase{"/x/drive:", P, "/x/", "drive:", 2, "/x/drive:", "/x/drive:"},
                    SplitCase{"//server/share", P, "//server/", "share", 2, "//server/share",
                              "//server/share"}));

TEST(FileItem, EmptyTextEmptiesPathAndKeepsKind) {
    FileItem item;
    item.setPath("/data/a.txt");
    ASSERT_EQ(item.kind, kFile);
    item.setPath("");
    EXPECT_EQ(item.folder, "");
    EXPECT_EQ(item.name, "");
    EXPECT_EQ(item.kind, kFile);
    EXPECT_EQ(makeItem("")->kind, kFolder);
}

TEST(FileItem, SeparatorFollowsStyleAndLastCharacter) {
    EXPECT_TRUE(makeItem("/data/a.txt")->forwardSlash);
    EXPECT_TRUE(makeItem("relative")->forwardSlash);
    EXPECT_FALSE(makeItem(R"(C:\Data\)", W)->forwardSlash);
    EXPECT_FALSE(makeItem("C:/Data/a.txt", W)->forwardSlash);
    EXPECT_TRUE(makeItem("C:/Data/", W)->forwardSlash);
}

TEST(FileItem, FolderFormIsWhereChildNamesGo) {
    EXPECT_EQ(makeItem("/data/Sub/")->folderForm(), "/data/Sub/");
    EXPECT_EQ(makeItem("/data/Sub")->folderForm(), "/data/Sub/");
    EXPECT_EQ(makeItem("/")->folderForm(), "/");
    EXPECT_EQ(makeItem(R"(C:\)", W)->folderForm(), R"(C:\)");

    // A listing entry as the engine builds it.
    FileItem entry;
    entry.folder = "/srv/";
    entry.name = "photos";
    entry.kind = kFolder;
    entry.forwardSlash = true;
    EXPECT_EQ(entry.folderForm() + "a.jpg", "/srv/photos/a.jpg");
}

} // namespace
} // namespace velmora
