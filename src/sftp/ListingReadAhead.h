#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::sftp {

struct Listing {
    int error = 0;
    std::vector<platform::DirEntry> entries;
};

// Folder listings read ahead. Every listing over SFTP waits for a few answers from the server, and
// a walk of a tree (the analysis, a folder delete) lists one folder after another: when a listing
// shows subfolders, they are listed at once on spare sessions, the first shown first, so that the
// walk finds most listings done when it comes to them. A listing read ahead serves one later
// request for that folder, and only while fresh; one that failed is read again by the request.
// Worker threads hold this object (and through the lister the connection) while they run, so it
// outlives a file system that goes away under them.
class ListingReadAhead : public std::enable_shared_from_this<ListingReadAhead> {
public:
    using Lister = std::function<Listing(const std::string& folder)>;
    using Clock = std::chrono::steady_clock;

    static std::shared_ptr<ListingReadAhead> create(Lister lister, std::size_t mostWorkers = 8,
                                                    Clock::duration freshFor = std::chrono::seconds(2));

    // The listing of `folder` ("/a/b", no trailing '/'): the one read ahead when there is a fresh
    // one (waited for while it is still under way), otherwise read now. Its subfolders are then
    // read ahead.
    Listing list(const std::string& folder);

private:
    struct Pending {
        std::shared_ptr<Listing> listing; // set when done
        Clock::time_point done{};
    };

    ListingReadAhead(Lister lister, std::size_t mostWorkers, Clock::duration freshFor)
        : lister_(std::move(lister)), mostWorkers_(mostWorkers), freshFor_(freshFor) {}
    void readAhead(const std::string& folder, const Listing& listing);
    void work();

    Lister lister_;
    const std::size_t mostWorkers_;
    const Clock::duration freshFor_;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::deque<std::string> waiting_;        // folders to read ahead, the next at the front
    std::map<std::string, Pending> started_; // folders being read ahead or read, until asked for
    std::size_t workers_ = 0;
    static constexpr std::size_t kMostWaiting = 256;
};

} // namespace velmora::sftp
