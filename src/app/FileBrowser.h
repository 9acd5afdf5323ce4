#pragma once

#include "app/BrowseRules.h"
#include "engine/DeleteConfirmation.h"
#include "items/FileItem.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

class ErrorReporter;
class FileCommands;
class FrontEndPort;
namespace platform {
class FileSystem;
}

// What a browse list needs from the program; all must outlive it.
struct BrowseServices {
    platform::FileSystem& fileSystem;
    FrontEndPort& frontEnd;
    ErrorReporter& reporter;
    FileCommands& commands; // deletes and renames under the command timeout
    const std::atomic<bool>& stopRequest;
};

// The four delete questions of one delete command, each with its own Yes To All and No To All.
class DeleteQuestions {
public:
    enum Question { ReadOnlyFolder = 0, Folder = 1, ReadOnlyFile = 2, File = 3 };

    DeleteQuestions(FrontEndPort& frontEnd, bool silent) : confirmation_(frontEnd, silent) {}

    // Silent mode and an earlier Yes To All answer Yes; an earlier No To All answers No.
    DeleteConfirmation::Result ask(Question question, const std::string& path);

private:
    DeleteConfirmation confirmation_;
    bool yesToAll_[4] = {};
    bool noToAll_[4] = {};
};

// One folder of the local file system as the browse list shows it, with delete, rename and
// create-folder. Every failure is reported through the error reporter with its context; a folder
// that cannot be listed stays where it was.
class FileBrowser {
public:
    explicit FileBrowser(BrowseServices services);

    // "Getting directory listing for " and the path, before each listing.
    std::function<void(const std::string&)> onStatus;

    // The folder (with its trailing '/') and its items, folders first in the listing order.
    const std::string& currentFolder() const { return folder_; }
    const std::vector<FileItemPtr>& items() const { return items_; }
    // Not above "/", nor above the share or top folder of a remote location.
    bool canGoUp() const;

    void setOrder(ListingOrder order);
    ListingOrder order() const { return order_; }

    // Listing operations; each answers whether the folder could be read.
    bool showFolder(const std::string& path);
    bool reload();
    bool enterFolder(const FileItem& folder);
    bool upOneFolder();

    // Deletes the selection, asking the four questions. Answers whether it ran to the end (false
    // on Cancel or a failure). The folder is listed again in every case.
    bool deleteItems(const std::vector<FileItemPtr>& selection);
    // Deletes one folder with everything in it, asking only about read-only entries; what the
    // folder tree's permanent delete uses too.
    bool deleteFolderTree(const std::string& path, DeleteQuestions& questions);
    // Moves a file or folder to the desktop's trash. When the trash cannot take it, says why and
    // asks whether to delete it for good instead (a hurried Enter keeps it). Answers whether it is gone.
    bool trashOrDelete(const std::string& path, DeleteQuestions& questions);
    // Creates `name` in the current folder (an existing folder counts as success) and lists again.
    bool createFolder(const std::string& name);
    // Renames an item of the current folder; refuses names with '/', ".", ".." and existing ones.
    // On success the folder is listed again and `renamed` holds the new item.
    bool rename(const FileItem& item, const std::string& newName, FileItemPtr* renamed = nullptr);

    // Lists a folder into items, folders first, on a worker under the command timeout; false (with
    // the reason set) when it cannot be read or does not answer in time.
    bool list(const std::string& path, std::vector<FileItemPtr>& out);

private:
    bool listInto(const std::string& path, const char* failureText, const char* context);
    bool deleteOne(const FileItem& item, DeleteQuestions& questions, bool& stop);
    bool clearReadOnly(const std::string& path, std::uint32_t mode);

    BrowseServices services_;
    std::string folder_ = "/";
    std::vector<FileItemPtr> items_;
    ListingOrder order_{};
};

} // namespace velmora
