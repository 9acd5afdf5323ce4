#pragma once

#include "app/RemotePlaces.h"

#include <QTreeWidget>
#include <string>
#include <vector>

namespace velmora::browse {

class BrowseEnvironment;

// The folder tree the dialogs embed wherever a folder is picked: a computer node with the root
// "/", the home folder and the mounted volumes, a network node with the mounted network shares
// grouped by server and the SFTP and SMB servers the user reaches directly (an SMB server opens
// into its shares, an SFTP one into "/" and the login's home), and below each the folders, read from disk
// only when a node is expanded and thrown away when it is collapsed. Rename, delete and properties of the
// selected folder come by context menu and keys; shared folders carry the share mark; compressed folders show
// blue, encrypted ones red. A folder that has vanished is pruned when it is expanded or selected.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    // The allow switches of the options word.
    enum Option {
        ShowFiles = 1,
        DragDrop = 2,
        AllowRename = 4,
        AllowOpen = 8,
        AllowProperties = 16,
        AllowDelete = 32,
        // Enter opens or closes the highlighted folder and never reaches the dialog's default
        // button: where the dialog's result is the list on the right, not the tree's folder.
        EnterExpands = 64
    };
    enum Kind { Computer, Network, Root, Home, Volume, RemovableVolume, Folder, Server, Share };

    explicit FolderTree(BrowseEnvironment& environment, QWidget* parent = nullptr);

    // Both hosts pass 52: rename, properties and delete; folders only.
    void applyOptions(int options);
    // Rebuilds the tree (the share list too) and selects the path that was selected.
    void reload();
    // Selects the item of the path, loading and expanding the folders on the way; answers it, or
    // nothing when the path cannot be walked (the selection then rests on the deepest folder
    // found). The walk starts at "/", or for a remote path (sftp://, smb://) at its server under
    // the Network node, which is connected on the way.
    QTreeWidgetItem* selectPath(const std::string& path, bool expand);
    // The selected item's path; empty for the computer, network and server nodes.
    std::string selectedPath() const;

    bool beginRename(QTreeWidgetItem* item);
    // To the desktop's trash after a question; with permanently, deleted for good after one.
    bool deleteItem(QTreeWidgetItem* item, bool permanently);
    void showProperties(QTreeWidgetItem* item);
    void openItem(QTreeWidgetItem* item);
    // Shows or hides the dot-folders, remembers the choice and reloads.
    void setShowHidden(bool show);

    static std::string pathOf(const QTreeWidgetItem* item);
    static Kind kindOf(const QTreeWidgetItem* item);
    // The shared-folder list every tree reads; rebuilt by any tree's reload.
    static const std::vector<std::string>& sharedFolders();

Q_SIGNALS:
    // The selection moved to another item that still exists (after the vanished were pruned).
    void selectedPathChanged();
    // A folder was renamed through the tree (full paths, before foldersChanged), so a list
    // showing it or a folder inside it can follow the new name.
    void folderRenamed(const std::string& before, const std::string& after);
    // A folder was renamed or deleted on disk through the tree.
    void foldersChanged();
    // "Show hidden" was switched here; the tree has already reloaded itself.
    void showHiddenChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidgetItem* addItem(QTreeWidgetItem* parent, Kind kind, const QString& text, const std::string& path,
                             const std::string& name);
    void expandNode(QTreeWidgetItem* item);
    void collapseNode(QTreeWidgetItem* item);
    // Loads the children of a node that has none yet; false when the node was pruned.
    bool load(QTreeWidgetItem* item);
    void listFolder(QTreeWidgetItem* item);
    // Both ask the disk on a worker under the command timeout, so a hung mount never freezes the window.
    bool isFolder(QTreeWidgetItem* item, int& error) const;
    void showUnreadable(QTreeWidgetItem* item, int error);
    void listComputer(QTreeWidgetItem* item);
    void listNetwork(QTreeWidgetItem* item);
    void listServer(QTreeWidgetItem* item);
    void leaveServerClosed(QTreeWidgetItem* item, const std::string& message, const std::string& why);
    // The server's node under Network, added when it is not there yet.
    QTreeWidgetItem* addRemoteServer(QTreeWidgetItem* network, const RemoteServerPlace& place);
    QTreeWidgetItem* selectRemotePath(const RemoteTreePath& path, bool expand);
    // A share of a server opened as a guest may want a login of its own: asked for on opening it.
    bool logInToShare(QTreeWidgetItem* item);
    void prune(QTreeWidgetItem* item);
    bool exists(QTreeWidgetItem* item) const;
    void onCurrentChanged(QTreeWidgetItem* current);
    void onItemChanged(QTreeWidgetItem* item, int column);
    void showMenuAt(const QPoint& position);
    bool mayRename(const QTreeWidgetItem* item) const;
    bool mayDelete(const QTreeWidgetItem* item) const;
    bool mayOpen(const QTreeWidgetItem* item) const;
    // Handing a folder to the desktop's file manager works for folders of this machine only.
    bool mayOpenOnDesktop(const QTreeWidgetItem* item) const;

    BrowseEnvironment& environment_;
    int options_ = ShowFiles | AllowOpen | AllowProperties;
    bool loading_ = false;
    QTreeWidgetItem* renaming_ = nullptr;
};

} // namespace velmora::browse
