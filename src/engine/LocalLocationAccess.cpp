#include "engine/LocalLocationAccess.h"

#include "engine/FrontEndPort.h"
#include "items/PathOrder.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace velmora {

LocalLocationAccess::LocalLocationAccess(FileCommands& commands, FrontEndPort& frontEnd,
                                         const std::atomic<bool>& stopRequest, std::uint64_t& workDone)
    : commands_(commands), frontEnd_(frontEnd), stopRequest_(stopRequest), workDone_(workDone) {}

void LocalLocationAccess::setExclusions(const ExclusionSet* first, const ExclusionSet* second) {
    first_ = first;
    second_ = second;
}

bool LocalLocationAccess::listFolder(const std::string& folderPath, std::vector<FileItemPtr>& items) {
    items.clear();
    // The worker fills a list of its own: a listing given up on its timeout may still be running.
    auto listed = std::make_shared<std::vector<FileItemPtr>>();
    listed->reserve(100);
    const int error = commands_.listFolder(folderPath, [listed, folderPath](const platform::DirEntry& entry) {
        auto item = std::make_shared<FileItem>();
        item->folder = folderPath;
        item->name = entry.name;
        item->kind = entry.isDirectory ? kFolder : kFile;
        item->size = entry.size;
        item->forwardSlash = true;
        // A date outside what the packed value holds (before 1980, after 2080) stays empty.
        item->date.set(entry.modified.day, entry.modified.month, entry.modified.year);
        item->time.set(entry.modified.hour, entry.modified.minute, entry.modified.second);
        listed->push_back(std::move(item));
        return true;
    });
    if (error == ECANCELED && stopRequest_) {
        // Stopped: the run ends without using what was listed.
        lastListError_ = 0;
        return true;
    }
    lastListError_ = error;
    if (error) {
        // The reason is set already ("Timed out" for a listing that stopped answering).
        return false;
    }
    items = std::move(*listed);
    return true;
}

bool LocalLocationAccess::readFolder(const std::string& folderPath, std::vector<FileItemPtr>& files,
                                     std::vector<FileItemPtr>& folders) {
    files.clear();
    folders.clear();
    std::vector<FileItemPtr> items;
    if (!listFolder(folderPath, items))
        return false;
    for (FileItemPtr& item : items)
        (item->kind == kFolder ? folders : files).push_back(std::move(item));
    auto byName = [](const FileItemPtr& a, const FileItemPtr& b) {
        return compareNames(a->name, b->name) < 0;
    };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    return true;
}

bool LocalLocationAccess::isExcludedByFirst(const FileItem& item) const {
    return first_ && first_->isExcluded(item);
}

bool LocalLocationAccess::isExcludedBySecond(const FileItem& item) const {
    return second_ && second_->isExcluded(item);
}

bool LocalLocationAccess::copyFile(const FileItem& source, const FileItem& target) {
    workDone_ += source.size;
    return commands_.copyFile(source.fullPath(), target.fullPath(), false, overwriteReadOnly_);
}

bool LocalLocationAccess::deleteFile(const FileItem& item) {
    return commands_.deleteFile(item.fullPath(), overwriteReadOnly_);
}

PendingCommand LocalLocationAccess::startCopy(const FileItem& source, const FileItem& target) {
    return {commands_.startCopy(source.fullPath(), target.fullPath(), false, overwriteReadOnly_),
            source.size};
}

PendingCommand LocalLocationAccess::startDelete(const FileItem& item) {
    return {commands_.startDelete(item.fullPath(), overwriteReadOnly_), 0};
}

bool LocalLocationAccess::finish(const PendingCommand& pending) {
    // Counted as the wait for it begins, as the one-at-a-time copy counts it: the progress shown
    // at its end includes it.
    workDone_ += pending.bytes;
    return commands_.finish(pending.command);
}

bool LocalLocationAccess::createFolder(const FileItem& item, std::int64_t attributes) {
    return commands_.createFolder(item.fullPath(), attributes);
}

} // namespace velmora
