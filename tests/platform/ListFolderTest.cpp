#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using velmora::platform::DirEntry;
using velmora::platform::realFileSystem;
using velmora::test::TempDir;

namespace {

// Every entry by name; the answer of listFolder in `result`.
std::map<std::string, DirEntry> listing(const std::string& path, int& result) {
    std::map<std::string, DirEntry> entries;
    result = realFileSystem().listFolder(path, [&](const DirEntry& entry) {
        entries[entry.name] = entry;
        return true;
    });
    return entries;
}

} // namespace

TEST(ListFolder, ListsFilesFoldersAndLinksAndLeavesSpecialFilesOut) {
    TempDir dir;
    dir.writeFile("folder/file.txt", "hello", 1'700'000'000);
    dir.makeFolder("folder/sub");
    dir.makeLink("folder/link-to-sub", "sub");
    dir.makeLink("folder/dangling", "nowhere");
    ASSERT_EQ(::mkfifo(dir.at("folder/fifo").c_str(), 0644), 0);
    velmora::platform::FileHandle socketFd(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.at("folder/socket");
    if (socketPath.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        ASSERT_EQ(::bind(socketFd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }

    for (const std::string& path : {dir.at("folder"), dir.at("folder/")}) {
        int result = -1;
        const auto entries = listing(path, result);
        ASSERT_EQ(result, 0) << path;
        ASSERT_EQ(entries.size(), 4u) << path;

        const DirEntry& file = entries.at("file.txt");
        EXPECT_FALSE(file.isDirectory);
        EXPECT_FALSE(file.isLink);
        EXPECT_EQ(file.size, 5u);
        const auto expected = velmora::platform::toLocalTime(1'700'000'000);
        EXPECT_EQ(file.modified.year, expected.year);
        EXPECT_EQ(file.modified.day, expected.day);
        EXPECT_EQ(file.modified.hour, expected.hour);
        EXPECT_EQ(file.modified.minute, expected.minute);

        EXPECT_TRUE(entries.at("sub").isDirectory);
        EXPECT_EQ(entries.at("sub").size, 0u);
        // Links are files of their own, even one that points at a folder.
        EXPECT_TRUE(entries.at("link-to-sub").isLink);
        EXPECT_FALSE(entries.at("link-to-sub").isDirectory);
        EXPECT_EQ(entries.at("link-to-sub").size, 3u);
        EXPECT_TRUE(entries.at("dangling").isLink);
    }
}

TEST(ListFolder, AFolderThatCannotBeListedIsAnErrorNeverAnEmptyFolder) {
    TempDir dir;
    dir.writeFile("file", "x");
    ASSERT_EQ(::mkfifo(dir.at("fifo").c_str(), 0644), 0);
    int result = 0;
    EXPECT_TRUE(listing(dir.at("missing/"), result).empty());
    EXPECT_EQ(result, ENOENT);
    listing(dir.at("file/"), result);
    EXPECT_EQ(result, ENOTDIR);
    listing(dir.at("file"), result);
    EXPECT_EQ(result, ENOTDIR);
    listing(dir.at("fifo"), result); // must answer, not wait for a writer
    EXPECT_EQ(result, ENOTDIR);

    dir.makeFolder("empty");
    EXPECT_TRUE(listing(dir.at("empty"), result).empty());
    EXPECT_EQ(result, 0);
}

TEST(ListFolder, StopsWhenTheCallerHasSeenEnough) {
    TempDir dir;
    for (int i = 0; i < 10; ++i)
        dir.writeFile("f" + std::to_string(i), "x");
    int seen = 0;
    EXPECT_EQ(realFileSystem().listFolder(dir.path(), [&](const DirEntry&) { return ++seen < 3; }), 0);
    EXPECT_EQ(seen, 3);
}

TEST(ListFolder, SizesPastFourGibibytesAreWhole) {
    TempDir dir;
    const std::uint64_t size = (5ull << 30) + 17; // the low 32 bits alone would say 1 GiB + 17
    velmora::platform::FileHandle file(::open(dir.at("sparse").c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_EQ(::ftruncate(file.get(), static_cast<off_t>(size)), 0);
    file.reset();

    int result = -1;
    const auto entries = listing(dir.path(), result);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(entries.at("sparse").size, size);
    velmora::platform::FileAttributes attributes;
    ASSERT_EQ(realFileSystem().getAttributes(dir.at("sparse"), attributes), 0);
    EXPECT_EQ(attributes.size, size);
}

TEST(ListFolder, RefusesAnUnprivilegedUserWhatItMayNotSee) {
    VELMORA_SKIP_UNLESS_ROOT();
    TempDir dir;
    dir.openToEveryone();
    dir.writeFile("closed/secret", "x");
    dir.writeFile("names-only/entry", "x");
    dir.writeFile("open/entry", "x");
    dir.setMode("closed", 0700);
    dir.setMode("names-only", 0744); // names readable, entries not reachable: no half listing
    dir.setMode("open", 0755);

    auto countAs = [&](const std::string& folder) {
        return velmora::test::runUnprivileged([&] {
            int count = 0;
            const int result = realFileSystem().listFolder(dir.at(folder), [&](const DirEntry&) {
                ++count;
                return true;
            });
            return result != 0 ? -result : count;
        });
    };
    const auto closed = countAs("closed");
    ASSERT_TRUE(closed.ran) << closed.problem;
    EXPECT_EQ(closed.value, -EACCES);
    const auto namesOnly = countAs("names-only");
    ASSERT_TRUE(namesOnly.ran) << namesOnly.problem;
    EXPECT_EQ(namesOnly.value, -EACCES);
    const auto open = countAs("open");
    ASSERT_TRUE(open.ran) << open.problem;
    EXPECT_EQ(open.value, 1);
}
