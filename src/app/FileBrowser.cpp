#include "app/FileBrowser.h"

#include "app/RemotePlaces.h"
#include "engine/ErrorReporter.h"
#include "engine/FileCommand.h"
#include "engine/FrontEndPort.h"
#include "engine/GuardedCalls.h"
#include "engine/ListedItem.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "remote/RemoteAddress.h"
#include "remote/RoutingFileSystem.h"

#include <cerrno>

namespace velmora {
namespace {

struct QuestionText {
    const char* caption;
    const char* text;
};

constexpr QuestionText kQuestions[] = {
    {"Delete Read Only Folder", "Delete Read Only folder: "},
    {"Delete Folder", "Delete folder and all of its contents: "},
    {"Delete Read Only File", "Delete Read Only file: "},
    {"Delete File", "Delete file: "},
};

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string parentOf(const std::string& folder) {
    if (folder.size() <= 1)
        return "/";
    const std::size_t slash = folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? "/" : folder.substr(0, slash + 1);
}

} // namespace

DeleteConfirmation::Result DeleteQuestions::ask(Question question, const std::string& path) {
    const QuestionText& text = kQuestions[question];
    return confirmation_.ask(text.caption, text.text + path, yesToAll_[question], noToAll_[question]);
}

FileBrowser::FileBrowser(BrowseServices services) : services_(services) {}

void FileBrowser::setOrder(ListingOrder order) {
    order_ = order;
    sortListing(items_, order_);
}

bool FileBrowser::list(const std::string& path, std::vector<FileItemPtr>& out) {
    const std::string folder = withSlash(path);
    out.clear();
    // Read on a worker under the command timeout: a mount that stopped answering leaves the
    // folder unreadable ("Timed out") instead of freezing the window.
    std::vector<platform::DirEntry> entries;
    if (guardedListing(services_.commands, services_.fileSystem, folder, entries) != 0)
        return false; // the reason is set, "Timed out" included
    out.reserve(entries.size());
    for (const platform::DirEntry& entry : entries)
        out.push_back(listedItem(folder, entry));
    sortListing(out, order_);
    return true;
}

bool FileBrowser::listInto(const std::string& path, const char* failureText, const char* context) {
    const std::string folder = withSlash(path);
    if (onStatus)
        onStatus("Getting directory listing for " + folder);
    std::vector<FileItemPtr> listed;
    if (!list(folder, listed)) {
        services_.reporter.report(context, failureText + folder, true);
        return false;
    }
    folder_ = folder;
    items_ = std::move(listed);
    return true;
}

bool FileBrowser::showFolder(const std::string& path) {
    return listInto(path, "Failed to read directory: ", "SysFileBrowseCtrl::setDirectory");
}

bool FileBrowser::reload() {
    return listInto(folder_, "Failed to read directory listing for: ", "SysFileBrowseCtrl::refresh");
}

bool FileBrowser::enterFolder(const FileItem& folder) {
    return listInto(folder.fullPath(),
                    "Could not get directory listing for: ", "SysFileBrowseCtrl::changeDirectory");
}

bool FileBrowser::canGoUp() const {
    if (RemoteTreePath remote; remoteTreePath(folder_, remote))
        return !remote.folders.empty();
    return folder_.size() > 1;
}

bool FileBrowser::upOneFolder() {
    if (!canGoUp())
        return false;
    return listInto(parentOf(folder_),
                    "Could not get directory listing for: ", "SysFileBrowseCtrl::upDirectory");
}

bool FileBrowser::clearReadOnly(const std::string& path, std::uint32_t mode) {
    return services_.fileSystem.setAttributes(path, (mode & 07777) | 0200) == 0;
}

bool FileBrowser::deleteItems(const std::vector<FileItemPtr>& selection) {
    DeleteQuestions questions(services_.frontEnd, services_.reporter.silent());
    bool ranToEnd = true;
    for (const FileItemPtr& item : selection) {
        bool stop = false;
        deleteOne(*item, questions, stop);
        if (stop) {
            ranToEnd = false;
            break;
        }
    }
    reload();
    return ranToEnd;
}

bool FileBrowser::deleteOne(const FileItem& item, DeleteQuestions& questions, bool& stop) {
    if (item.kind != kFolder && item.kind != kFile) {
        services_.reporter.report("SysFileBrowseCtrl::deleteItem", "Cannot delete the up directory");
        return false;
    }
    const bool isFolder = item.kind == kFolder;
    const std::string path = item.fullPath();
    platform::FileAttributes attributes;
    if (services_.fileSystem.getAttributes(path, attributes) != 0) {
        services_.reporter.report(isFolder ? "SysFileBrowseCtrl::deleteItem (folder)"
                                           : "SysFileBrowseCtrl::deleteItem (file)",
                                  "Could not access file attributes for " + path);
        return false;
    }
    const DeleteQuestions::Question question =
        isFolder ? (attributes.readOnly ? DeleteQuestions::ReadOnlyFolder : DeleteQuestions::Folder)
                 : (attributes.readOnly ? DeleteQuestions::ReadOnlyFile : DeleteQuestions::File);
    const std::string shown = isFolder ? withSlash(path) : path;
    switch (questions.ask(question, shown)) {
    case DeleteConfirmation::Result::CancelRun:
        stop = true;
        return false;
    case DeleteConfirmation::Result::Skip:
        return false;
    case DeleteConfirmation::Result::GoAhead:
        break;
    }
    if (isFolder) {
        if (attributes.readOnly)
            clearReadOnly(path, attributes.mode);
        if (!deleteFolderTree(path, questions))
            stop = true;
        return !stop;
    }
    // A confirmed read-only file is unlinked as it is: changing its mode first would change it for
    // every other hard link to it too.
    if (!services_.commands.deleteFile(path, attributes.readOnly)) {
        services_.reporter.report("SysFileBrowseCtrl::deleteItem", "Could not delete file: " + item.name,
                                  true);
        stop = true;
        return false;
    }
    return true;
}

bool FileBrowser::trashOrDelete(const std::string& path, DeleteQuestions& questions) {
    platform::TrashResult trashed;
    if (remote::isRemoteLocation(path))
        trashed = {EOPNOTSUPP, "There is no trash on " + remote::serverPart(path), {}};
    else
        trashed = platform::moveToTrash(path, platform::TrashOwner::current());
    if (trashed.error == 0)
        return true;
    if (!services_.frontEnd.cautiousQuestion("Could not move to the trash: " + path + "\n" + trashed.reason +
                                             "\n\nDelete it for good instead? It will not go to the trash."))
        return false;
    platform::FileAttributes attributes;
    if (services_.fileSystem.getAttributes(path, attributes) != 0 || attributes.isDirectory)
        return deleteFolderTree(path, questions);
    if (services_.commands.deleteFile(path, attributes.readOnly))
        return true;
    services_.reporter.report("SysFileBrowseCtrl::deleteItem", "Could not delete file: " + path, true);
    return false;
}

bool FileBrowser::deleteFolderTree(const std::string& path, DeleteQuestions& questions) {
    const std::string folder = withSlash(path);
    std::vector<platform::DirEntry> entries;
    const int error = services_.fileSystem.listFolder(folder, [&](const platform::DirEntry& entry) {
        entries.push_back(entry);
        return true;
    });
    if (error != 0) {
        services_.commands.reason().setFromError(error);
        services_.reporter.report("SysFileBrowseCtrl::deleteDirectory", "Could not read folder: " + folder,
                                  true);
        return false;
    }
    for (const platform::DirEntry& entry : entries) {
        if (services_.stopRequest)
            return false;
        const std::string child = folder + entry.name;
        if (entry.isDirectory) {
            platform::FileAttributes attributes;
            if (services_.fileSystem.getAttributes(child, attributes) == 0 && attributes.readOnly) {
                const auto answer = questions.ask(DeleteQuestions::ReadOnlyFolder, withSlash(child));
                if (answer == DeleteConfirmation::Result::CancelRun)
                    return false;
                if (answer == DeleteConfirmation::Result::Skip)
                    continue;
                clearReadOnly(child, attributes.mode);
            }
            if (!deleteFolderTree(child, questions))
                return false;
            continue;
        }
        platform::FileAttributes attributes;
        if (services_.fileSystem.getAttributes(child, attributes) != 0) {
            services_.reporter.report("SysFileBrowseCtrl::deleteDirectory",
                                      "Could not access file attributes for " + child);
            return false;
        }
        if (attributes.readOnly) {
            const auto answer = questions.ask(DeleteQuestions::ReadOnlyFile, child);
            if (answer == DeleteConfirmation::Result::CancelRun)
                return false;
            if (answer == DeleteConfirmation::Result::Skip)
                continue;
        }
        if (!services_.commands.deleteFile(child, attributes.readOnly)) {
            services_.reporter.report("SysFileBrowseCtrl::deleteDirectory", "Could not delete file: " + child,
                                      true);
            return false;
        }
    }
    platform::FileAttributes attributes;
    const std::string self = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    if (services_.fileSystem.getAttributes(self, attributes) != 0) {
        services_.reporter.report("SysFileBrowseCtrl::deleteDirectory", "Could not access file attributes");
        return false;
    }
    if (attributes.readOnly)
        clearReadOnly(self, attributes.mode);
    if (!services_.commands.removeFolder(self, false)) {
        if (attributes.readOnly)
            services_.fileSystem.setAttributes(self, attributes.mode & 07777);
        services_.reporter.report("SysFileBrowseCtrl::deleteDirectory", "Could not delete folder: " + folder,
                                  true);
        return false;
    }
    return true;
}

bool FileBrowser::createFolder(const std::string& name) {
    const std::string target = folder_ + name;
    int error = name.find('/') != std::string::npos ? EINVAL : services_.fileSystem.createFolder(target);
    if (error == EEXIST) {
        platform::FileAttributes attributes;
        if (services_.fileSystem.getAttributes(target, attributes) == 0 && attributes.isDirectory)
            error = 0;
    }
    if (error != 0) {
        services_.commands.reason().setFromError(error);
        services_.reporter.report("SysFileBrowseCtrl::createDirectory",
                                  "Could not create directory: " + target, true);
        return false;
    }
    reload();
    return true;
}

bool FileBrowser::rename(const FileItem& item, const std::string& newName, FileItemPtr* renamed) {
    const bool badName =
        newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string::npos;
    bool moved = false;
    if (badName) {
        services_.commands.reason().setFromError(EINVAL);
    } else if (newName == item.name) {
        moved = true;
    } else {
        moved = services_.commands.moveFile(item.fullPath(), item.folder + newName, false);
    }
    if (!moved) {
        services_.reporter.report("SysFileBrowseCtrl::renameSelected", "Failed to rename: " + item.name,
                                  true);
        return false;
    }
    if (renamed) {
        *renamed = std::make_shared<FileItem>(item);
        (*renamed)->name = newName;
    }
    reload();
    return true;
}

} // namespace velmora
