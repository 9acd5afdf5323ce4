#pragma once

#include "app/FileBrowser.h"
#include "browse/FileListView.h"

#include <memory>

namespace velmora::browse {

class BrowseEnvironment;

// The file list of the exclusion browser: a folder of the local file system, with delete (with
// its questions), rename by label editing and "Create Dir".
class BrowseList : public FileListView {
    Q_OBJECT

public:
    BrowseList(BrowseEnvironment& environment, std::vector<FileItemPtr>& hostSelection, bool showActions,
               QWidget* parent = nullptr);

    bool showFolder(const std::string& path);
    const std::string& folderPath() const { return browser_.currentFolder(); }
    // Asks for a name in the "Directory Name" dialog and creates that folder here.
    bool createFolder();
    bool deleteSelectedItems();
    // A folder was renamed elsewhere: when this list shows it or a folder inside it, it goes on
    // showing the same folder under its new path instead of failing to read the old one.
    void followRename(const std::string& before, const std::string& after);

    void changeIntoFolder(const FileItemPtr& folder) override;
    void deleteSelected() override { deleteSelectedItems(); }
    void renameItem(const FileItem& renamed, int row) override;
    void reload() override;
    bool canGoUp() const override { return browser_.canGoUp(); }
    void upOneFolder() override;
    // Open, Rename, Delete and Properties of the selection, and "Show hidden".
    void showContextMenu(const QPoint& position) override;
    // Opens the selected folder here, or a file in the desktop's program for it.
    void openSelected();
    void setShowHidden(bool show);

Q_SIGNALS:
    // "Show hidden" was switched here; the list has already listed its folder again.
    void showHiddenChanged();

Q_SIGNALS:
    // After a delete by the Delete key or a button, so that a tree beside the list can follow.
    void entriesDeleted();

private:
    void refill(bool moved);

    BrowseEnvironment& environment_;
    FileBrowser browser_;
};

} // namespace velmora::browse
