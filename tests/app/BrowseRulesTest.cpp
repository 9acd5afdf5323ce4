#include "app/BrowseRules.h"

#include "app/NetworkPlaces.h"

#include <gtest/gtest.h>
#include <map>

namespace velmora {
namespace {

FileItemPtr entry(const char* name, ItemKind kind, std::uint64_t size = 0, int day = 1, int hour = 0) {
    auto item = makeItem(std::string("/f/") + name);
    item->kind = kind;
    item->size = size;
    item->date.set(day, 1, 2024);
    item->time.set(hour, 0, 0);
    return item;
}

std::string names(const std::vector<FileItemPtr>& items) {
    std::string out;
    for (const FileItemPtr& item : items)
        out += (out.empty() ? "" : " ") + item->name;
    return out;
}

TEST(ListingOrder, FoldersFirstInEveryOrderAndHeaderClicksToggle) {
    std::vector<FileItemPtr> items{entry("b.txt", kFile, 30, 2),  entry("Zed", kFolder, 0, 1),
                                   entry("a.txt", kFile, 30, 3),  entry("c.txt", kFile, 10, 1),
                                   entry("alpha", kFolder, 0, 5), entry("A.TXT", kFile, 5, 1)};
    struct Case {
        std::vector<int> clicks;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "alpha Zed A.TXT a.txt b.txt c.txt"},        // names ignore case; equal names older first
        {{0}, "Zed alpha c.txt b.txt a.txt A.TXT"},       // name again: descending
        {{1}, "alpha Zed A.TXT c.txt a.txt b.txt"},       // "Bytes": by size, then name
        {{1, 1}, "Zed alpha b.txt a.txt c.txt A.TXT"},    // "Bytes" twice: descending
        {{1, 1, 0}, "alpha Zed A.TXT a.txt b.txt c.txt"}, // "Name" after "Bytes": ascending
        {{2}, "Zed alpha A.TXT c.txt b.txt a.txt"},       // "Modified": older first, then name
    };
    for (const Case& test : cases) {
        ListingOrder order;
        for (int column : test.clicks)
            order = clickColumn(order, column);
        sortListing(items, order);
        EXPECT_EQ(names(items), test.expected) << test.clicks.size() << " clicks";
    }
    auto parent = entry("..", static_cast<ItemKind>(0));
    EXPECT_TRUE(listingLess(*parent, *items[0], {SortKey::Name, true}));
}

TEST(RowTexts, IconIndexSizeAndDateColumns) {
    const struct {
        ItemKind kind;
        ItemState state;
        bool failed;
        int plain, withActions;
    } icons[] = {{kFolder, kPlain, false, 0, 0},
                 {kFile, kPlain, false, 1, 1},
                 {kFolder, kExcluded, false, 0, 2},
                 {kFile, kOverwrite, false, 1, 5},
                 {kFolder, kAdd, true, 0, 12},
                 {kFile, kDelete, true, 1, 15},
                 {static_cast<ItemKind>(0), kPlain, false, -1, -1}};
    for (const auto& icon : icons) {
        FileItem item;
        item.kind = icon.kind;
        item.state = icon.state;
        item.failed = icon.failed;
        EXPECT_EQ(iconIndex(item, false), icon.plain);
        EXPECT_EQ(iconIndex(item, true), icon.withActions) << icon.kind << "/" << icon.state;
    }
    FileItem file = *entry("f", kFile, 1234567, 7, 14);
    file.date.set(7, 12, 2008);
    file.time.set(14, 5, 9);
    EXPECT_EQ(sizeColumnText(file), "1,234,567");
    EXPECT_EQ(modifiedColumnText(file, true), "07/12/08  14:05:09");
    EXPECT_EQ(modifiedColumnText(file, false), "12/07/08  14:05:09");
    file.kind = kFolder;
    file.date = DateValue();
    EXPECT_EQ(sizeColumnText(file), "");
    EXPECT_EQ(modifiedColumnText(file, true), "");
}

TEST(SelectPath, WalksFromTheRootAndStopsAtTheDeepestFolderFound) {
    const std::map<std::string, std::vector<std::string>> tree{
        {"", {"/"}}, {"/", {"home", "srv"}}, {"home", {"ann", "Ann"}}, {"ann", {"Docs"}}};
    const struct {
        const char* path;
        std::size_t found;
        const char* deepest;
    } cases[] = {{"/home/ann/Docs/", 4, "Docs"},
                 {"/home/ann/Docs", 4, "Docs"},
                 {"//home//Ann", 3, "Ann"},
                 {"/home/bob/x", 2, "home"},
                 {"/", 1, "/"},
                 {"", 0, ""},
                 {"home/ann", 0, ""},
                 {"/home/ANN", 2, "home"}};
    for (const auto& test : cases) {
        std::string at;
        const std::size_t found = walkPath(test.path, [&](const std::string& segment, bool) {
            const std::vector<std::string>& children =
                tree.count(at) ? tree.at(at) : std::vector<std::string>{};
            if (std::find(children.begin(), children.end(), segment) == children.end())
                return false;
            at = segment;
            return true;
        });
        EXPECT_EQ(found, test.found) << test.path;
        EXPECT_EQ(at, test.deepest) << test.path;
    }
    EXPECT_EQ(chosenFolderPath(""), "/");
    EXPECT_EQ(chosenFolderPath("/home/ann"), "/home/ann/");
    EXPECT_EQ(chosenFolderPath("/"), "/");
}

TEST(SelectPath, PathsInsideARenamedFolderFollowTheNewName) {
    const struct {
        const char *path, *before, *after, *expected;
    } cases[] = {{"/a/b/", "/a/b", "/a/c", "/a/c/"},         {"/a/b", "/a/b/", "/a/c/", "/a/c"},
                 {"/a/b/x/y/", "/a/b", "/a/c", "/a/c/x/y/"}, {"/a/bc/", "/a/b", "/a/c", nullptr},
                 {"/a/", "/a/b", "/a/c", nullptr},           {"/x/", "/", "/y", nullptr}};
    for (const auto& test : cases) {
        const std::optional<std::string> moved = pathAfterRename(test.path, test.before, test.after);
        EXPECT_EQ(moved.value_or("none"), test.expected ? test.expected : "none") << test.path;
    }
}

TEST(NetworkPlaces, GroupsMountsByServerThenShare) {
    using platform::Volume;
    using platform::VolumeKind;
    const std::vector<Volume> volumes{
        {"/mnt/media", "//nas/media", "cifs", VolumeKind::Network},
        {"/home", "/dev/sda3", "ext4", VolumeKind::Fixed},
        {"/mnt/home", "fileserver:/export/home", "nfs4", VolumeKind::Network},
        {"/mnt/photos", "//nas/photos", "smb3", VolumeKind::Network},
        {"/mnt/box", "ann@box.example:", "fuse.sshfs", VolumeKind::Network},
        {"/mnt/odd", "nothing-here", "nfs", VolumeKind::Network},
        {"/run/user/1000/gvfs", "gvfsd-fuse", "fuse.gvfsd-fuse", VolumeKind::Network}};
    const std::vector<std::string> gvfs{"/run/user/1000/gvfs/smb-share:server=nas,share=backup",
                                        "/run/user/1000/gvfs/sftp:host=box.example,user=ann",
                                        "/run/user/1000/gvfs/unknown"};
    std::string shown;
    for (const NetworkServer& server : groupNetworkPlaces(volumes, gvfs)) {
        shown += server.name + ":";
        for (const NetworkShare& share : server.shares)
            shown += " " + share.name + "=" + share.mountPoint;
        shown += "\n";
    }
    EXPECT_EQ(shown, "nas: media=/mnt/media photos=/mnt/photos "
                     "backup=/run/user/1000/gvfs/smb-share:server=nas,share=backup\n"
                     "fileserver: /export/home=/mnt/home\n"
                     "box.example: /=/mnt/box sftp=/run/user/1000/gvfs/sftp:host=box.example,user=ann\n");
}

} // namespace
} // namespace velmora
