#include "sftp/ListingReadAhead.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace velmora::sftp {
namespace {

// A server's tree as a lister sees it, counting what it is asked and how many at once.
struct FakeServer {
    std::map<std::string, std::vector<std::string>> folders = {
        {"/r", {"a", "b", "c"}}, {"/r/a", {"a1", "a2"}}, {"/r/a/a1", {}}, {"/r/a/a2", {}},
        {"/r/b", {"b1"}},        {"/r/b/b1", {}},        {"/r/c", {}}};
    std::mutex mutex;
    std::map<std::string, int> asked;
    std::map<std::string, int> failuresLeft;
    std::atomic<int> running{0}, mostRunning{0};

    Listing operator()(const std::string& folder) {
        const int now = ++running;
        for (int seen = mostRunning; now > seen && !mostRunning.compare_exchange_weak(seen, now);) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Listing listing;
        {
            const std::lock_guard lock(mutex);
            ++asked[folder];
            if (failuresLeft[folder] > 0) {
                --failuresLeft[folder];
                listing.error = EIO;
            } else {
                for (const std::string& name : folders.at(folder)) {
                    platform::DirEntry entry;
                    entry.name = name;
                    entry.isDirectory = true;
                    listing.entries.push_back(entry);
                }
                platform::DirEntry file;
                file.name = "file.txt";
                listing.entries.push_back(file);
            }
        }
        --running;
        return listing;
    }
};

// A walk as the analysis makes it: depth first, the first subfolder first.
void walk(ListingReadAhead& readAhead, const std::string& folder, std::vector<std::string>& seen) {
    const Listing listing = readAhead.list(folder);
    ASSERT_EQ(listing.error, 0) << folder;
    seen.push_back(folder);
    for (const platform::DirEntry& entry : listing.entries)
        if (entry.isDirectory)
            walk(readAhead, folder + "/" + entry.name, seen);
}

TEST(ListingReadAheadTest, AWalkGetsEveryListingOnceAndCurrent) {
    struct Case {
        const char* name;
        std::size_t workers;
        std::chrono::milliseconds freshFor;
        const char* failingOnce; // a folder whose first listing fails
    };
    const Case cases[] = {
        {"read ahead", 4, std::chrono::milliseconds(2000), ""},
        {"one worker", 1, std::chrono::milliseconds(2000), ""},
        {"a read ahead that failed is read again", 4, std::chrono::milliseconds(2000), "/r/b"},
        {"listings that went stale are read again", 4, std::chrono::milliseconds(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto server = std::make_shared<FakeServer>();
        if (*c.failingOnce != '\0')
            server->failuresLeft[c.failingOnce] = 1;
        auto readAhead = ListingReadAhead::create(
            [server](const std::string& folder) { return (*server)(folder); }, c.workers, c.freshFor);
        std::vector<std::string> seen;
        walk(*readAhead, "/r", seen);
        EXPECT_EQ(seen,
                  (std::vector<std::string>{"/r", "/r/a", "/r/a/a1", "/r/a/a2", "/r/b", "/r/b/b1", "/r/c"}));
        // Let the workers finish before the counts are read.
        for (int i = 0; i < 200 && server->running > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::lock_guard lock(server->mutex);
        for (const auto& [folder, times] : server->asked) {
            const bool readTwice = folder == c.failingOnce || c.freshFor.count() == 0;
            EXPECT_LE(times, readTwice ? 2 : 1) << folder;
            EXPECT_GE(times, 1) << folder;
        }
        if (*c.failingOnce != '\0') {
            EXPECT_EQ(server->asked[c.failingOnce], 2);
        }
    }
}

TEST(ListingReadAheadTest, ListingsAreReadSideBySideUpToTheWorkers) {
    auto server = std::make_shared<FakeServer>();
    for (int i = 0; i < 12; ++i) {
        server->folders["/wide"].push_back("f" + std::to_string(i));
        server->folders["/wide/f" + std::to_string(i)] = {};
    }
    auto readAhead =
        ListingReadAhead::create([server](const std::string& folder) { return (*server)(folder); }, 4);
    std::vector<std::string> seen;
    walk(*readAhead, "/wide", seen);
    EXPECT_EQ(seen.size(), 13u);
    EXPECT_GT(server->mostRunning.load(), 1);
    EXPECT_LE(server->mostRunning.load(), 5); // four workers and the walk itself
}

} // namespace
} // namespace velmora::sftp
