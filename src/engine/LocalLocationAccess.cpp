#include "engine/LocalLocationAccess.h"

#include "engine/FrontEndPort.h"
#include "engine/ListedItem.h"
#include "items/PathOrder.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace velmora {

LocalLocationAccess::LocalLocationAccess(FileCommands& commands, const std::atomic<bool>& stopRequest,
                                         std::uint64_t& workDone)
    : commands_(commands), stopRequest_(stopRequest), workDone_(workDone) {}

void LocalLocationAccess::setExclusions(const ExclusionSet* first, const ExclusionSet* second) {
    first_ = first;
    second_ = second;
}

void LocalLocationAccess::setOtherRoot(const platform::FileIdentity& root, const std::string& path) {
    otherRoot_ = root;
    otherRootPath_ = path;
    while (otherRootPath_.size() > 1 && otherRootPath_.back() == '/')
        otherRootPath_.pop_back();
    overlap_.clear();
}

namespace {

// What a listing leaves out, decided on the worker thread from copies of the access's settings.
struct ListingFilter {
    platform::FileIdentity protectedFile;
    platform::FileIdentity otherRoot;
};

struct ListingFindings {
    std::vector<std::string> leftovers;
    std::string sameAsOtherRoot; // name of a folder that is the other location's folder
};

bool isHidden(const ListingFilter& filter, const platform::DirEntry& entry, ListingFindings& findings) {
    if (filter.protectedFile.known() && entry.identity == filter.protectedFile)
        return true;
    if (entry.isDirectory && filter.otherRoot.known() && entry.identity == filter.otherRoot &&
        findings.sameAsOtherRoot.empty())
        findings.sameAsOtherRoot = entry.name;
    if (!entry.ownTemporary)
        return false;
    findings.leftovers.push_back(entry.name);
    return true;
}

} // namespace

// Left by a run that was killed between naming a finished copy and renaming it into place. The
// file system removes only what carries our mark; a user's file that merely looks like one stays.
void LocalLocationAccess::removeLeftovers(const std::string& folderPath,
                                          const std::vector<std::string>& names) {
    if (!leftoverRemoved_)
        return;
    for (const std::string& name : names) {
        const std::string path = folderPath + name;
        if (commands_.fileSystem().removeOwnTemporary(path) == 0)
            leftoverRemoved_(path);
    }
}

bool LocalLocationAccess::listFolder(const std::string& folderPath, std::vector<FileItemPtr>& items) {
    items.clear();
    // The worker fills a list of its own: a listing given up on its timeout may still be running.
    auto listed = std::make_shared<std::vector<FileItemPtr>>();
    listed->reserve(100);
    auto findings = std::make_shared<ListingFindings>();
    const ListingFilter filter{protectedFile_, otherRoot_};
    const int error = commands_.listFolder(
        folderPath, [listed, findings, filter, folderPath](const platform::DirEntry& entry) {
            if (isHidden(filter, entry, *findings))
                return true;
            listed->push_back(listedItem(folderPath, entry));
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
    removeLeftovers(folderPath, findings->leftovers);
    if (!findings->sameAsOtherRoot.empty() && overlap_.empty())
        overlap_ = "The source and target locations overlap: " + folderPath + findings->sameAsOtherRoot +
                   " is the same folder as " + otherRootPath_;
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

namespace {

// What the plan saw of a target: the listed file of an overwrite or a delete, a free name for an
// add (also inside a folder being added). An item the plan did not make is taken as it comes.
std::optional<platform::SeenTarget> seenAsPlanned(const FileItem& target) {
    switch (target.state) {
    case kOverwrite:
    case kDelete:
        return platform::SeenTarget{true, target.size, target.modifiedAt};
    case kAdd:
        return platform::SeenTarget{};
    default:
        return std::nullopt;
    }
}

} // namespace

bool LocalLocationAccess::copyFile(const FileItem& source, const FileItem& target) {
    workDone_ += source.size;
    return commands_.copyFile(source.fullPath(), target.fullPath(), false, overwriteReadOnly_,
                              seenAsPlanned(target));
}

bool LocalLocationAccess::deleteFile(const FileItem& item) {
    return commands_.deleteFile(item.fullPath(), overwriteReadOnly_, seenAsPlanned(item));
}

PendingCommand LocalLocationAccess::startCopy(const FileItem& source, const FileItem& target) {
    return {commands_.startCopy(source.fullPath(), target.fullPath(), false, overwriteReadOnly_,
                                seenAsPlanned(target)),
            source.size};
}

PendingCommand LocalLocationAccess::startDelete(const FileItem& item) {
    return {commands_.startDelete(item.fullPath(), overwriteReadOnly_, seenAsPlanned(item)), 0};
}

bool LocalLocationAccess::finish(const PendingCommand& pending) {
    // Counted as the wait for it begins, as the one-at-a-time copy counts it: the progress shown
    // at its end includes it.
    workDone_ += pending.bytes;
    return commands_.finish(pending.command);
}

bool LocalLocationAccess::createFolder(const FileItem& item, std::int64_t sourceMode) {
    return commands_.createFolder(item.fullPath(), sourceMode);
}

} // namespace velmora
