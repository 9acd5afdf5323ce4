#include "sftp/ListingReadAhead.h"

#include <algorithm>
#include <thread>

namespace velmora::sftp {

std::shared_ptr<ListingReadAhead> ListingReadAhead::create(Lister lister, std::size_t mostWorkers,
                                                           Clock::duration freshFor) {
    return std::shared_ptr<ListingReadAhead>(new ListingReadAhead(std::move(lister), mostWorkers, freshFor));
}

Listing ListingReadAhead::list(const std::string& folder) {
    std::shared_ptr<Listing> ahead;
    {
        std::unique_lock lock(mutex_);
        // Listings nobody asked for in time are dropped: a walk that went elsewhere leaves them.
        const Clock::time_point now = Clock::now();
        for (auto it = started_.begin(); it != started_.end();)
            it = it->second.listing && now - it->second.done > freshFor_ ? started_.erase(it) : std::next(it);
        waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), folder), waiting_.end());
        if (started_.count(folder) != 0) {
            finished_.wait(lock, [&] {
                const auto found = started_.find(folder);
                return found == started_.end() || found->second.listing != nullptr;
            });
            if (const auto found = started_.find(folder); found != started_.end()) {
                ahead = std::move(found->second.listing);
                started_.erase(found);
            }
        }
    }
    Listing listing = ahead && ahead->error == 0 ? std::move(*ahead) : lister_(folder);
    if (listing.error == 0)
        readAhead(folder, listing);
    return listing;
}

void ListingReadAhead::readAhead(const std::string& folder, const Listing& listing) {
    std::vector<std::string> subfolders;
    for (const platform::DirEntry& entry : listing.entries)
        if (entry.isDirectory && !entry.isLink)
            subfolders.push_back((folder == "/" ? std::string() : folder) + "/" + entry.name);
    if (subfolders.empty())
        return;
    std::size_t toStart = 0;
    {
        const std::lock_guard lock(mutex_);
        // The newest first: a walk goes into the folder it has just listed before it comes back.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            if (started_.count(*it) == 0 &&
                std::find(waiting_.begin(), waiting_.end(), *it) == waiting_.end())
                waiting_.push_front(*it);
        while (waiting_.size() > kMostWaiting)
            waiting_.pop_back();
        while (workers_ < mostWorkers_ && toStart < waiting_.size()) {
            ++workers_;
            ++toStart;
        }
    }
    for (std::size_t i = 0; i < toStart; ++i)
        std::thread([self = shared_from_this()] { self->work(); }).detach();
}

void ListingReadAhead::work() {
    for (;;) {
        std::string folder;
        {
            const std::lock_guard lock(mutex_);
            if (waiting_.empty()) {
                --workers_;
                return;
            }
            folder = std::move(waiting_.front());
            waiting_.pop_front();
            started_[folder] = {};
        }
        auto listing = std::make_shared<Listing>(lister_(folder));
        {
            const std::lock_guard lock(mutex_);
            const auto found = started_.find(folder);
            if (found != started_.end()) {
                found->second.listing = std::move(listing);
                found->second.done = Clock::now();
            }
        }
        finished_.notify_all();
    }
}

} // namespace velmora::sftp
