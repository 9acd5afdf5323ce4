#include "browse/FolderTree.h"

#include "app/BrowseRules.h"
#include "app/FileBrowser.h"
#include "app/NetworkPlaces.h"
#include "browse/BrowseEnvironment.h"
#include "browse/BrowseIcons.h"
#include "browse/BrowseMenu.h"
#include "browse/NameCollation.h"
#include "browse/PropertiesDlg.h"
#include "browse/WaitCursor.h"
#include "engine/FrontEndPort.h"
#include "engine/GuardedCalls.h"
#include "items/PathOrder.h"
#include "platform/FileMarks.h"
#include "platform/FileSystem.h"
#include "platform/Mounts.h"
#include "platform/SharedFolders.h"
#include "remote/RemoteAddress.h"
#include "remote/RoutingFileSystem.h"
#include "widgets/Text.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <unistd.h>

namespace velmora::browse {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kKindRole = Qt::UserRole + 2;
constexpr int kLoadedRole = Qt::UserRole + 3;
constexpr int kServerRole = Qt::UserRole + 4; // a remote server's part: "sftp://ann@backup", "smb://nas"

std::vector<std::string>& sharedList() {
    static std::vector<std::string> folders = platform::sharedFolders();
    return folders;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string nameOf(const QTreeWidgetItem* item) {
    return item->data(0, kNameRole).toByteArray().toStdString();
}

std::string serverOf(const QTreeWidgetItem* item) {
    return item->data(0, kServerRole).toByteArray().toStdString();
}

bool isRemote(const std::string& path) {
    return remote::isRemoteLocation(path);
}

bool isNetworkKind(FolderTree::Kind kind) {
    return kind == FolderTree::Network || kind == FolderTree::Server;
}

// The places an item stands for that are not folders of their own: never renamed or deleted.
bool isPlace(FolderTree::Kind kind) {
    return kind != FolderTree::Folder;
}

} // namespace

FolderTree::FolderTree(BrowseEnvironment& environment, QWidget* parent)
    : QTreeWidget(parent), environment_(environment) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAccessibleName(QStringLiteral("Folders"));
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::expandNode);
    connect(this, &QTreeWidget::itemCollapsed, this, &FolderTree::collapseNode);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentChanged(current); });
    connect(this, &QTreeWidget::itemChanged, this, &FolderTree::onItemChanged);
}

const std::vector<std::string>& FolderTree::sharedFolders() {
    return sharedList();
}

std::string FolderTree::pathOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toByteArray().toStdString() : std::string();
}

FolderTree::Kind FolderTree::kindOf(const QTreeWidgetItem* item) {
    return static_cast<Kind>(item->data(0, kKindRole).toInt());
}

void FolderTree::applyOptions(int options) {
    const bool showFilesChanged = (options ^ options_) & ShowFiles;
    options_ = options;
    if (showFilesChanged)
        reload();
}

QTreeWidgetItem* FolderTree::addItem(QTreeWidgetItem* parent, Kind kind, const QString& text,
                                     const std::string& path, const std::string& name) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, text);
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kNameRole, QByteArray::fromStdString(name));
    item->setData(0, kKindRole, kind);
    item->setData(0, kLoadedRole, false);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    switch (kind) {
    case Computer:
        item->setIcon(0, placeIcon(Place::Computer));
        break;
    case Network:
        item->setIcon(0, placeIcon(Place::Network));
        break;
    case Root:
        item->setIcon(0, placeIcon(Place::Root));
        break;
    case Home:
        item->setIcon(0, placeIcon(Place::Home));
        break;
    case Volume:
        item->setIcon(0, placeIcon(Place::Drive));
        break;
    case RemovableVolume:
        item->setIcon(0, placeIcon(Place::Removable));
        break;
    case Server:
        item->setIcon(0, placeIcon(Place::Server));
        break;
    case Share:
        item->setIcon(0, placeIcon(Place::Share));
        break;
    case Folder: {
        const std::string plain = withoutTrailingSlash(path);
        const auto& shared = sharedList();
        item->setIcon(0, std::find(shared.begin(), shared.end(), plain) != shared.end() ? sharedFolderIcon()
                                                                                        : folderIcon());
        const platform::FileMarks marks =
            isRemote(plain) ? platform::FileMarks{} : platform::fileMarks(plain);
        if (marks.compressed)
            item->setForeground(0, QColor(0, 0, 255));
        else if (marks.encrypted)
            item->setForeground(0, QColor(255, 0, 0));
        break;
    }
    }
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void FolderTree::reload() {
    const WaitCursor wait;
    setUpdatesEnabled(false);
    const std::string remembered = selectedPath();
    const bool wasExpanded = currentItem() && currentItem()->isExpanded();
    sharedList() = platform::sharedFolders();
    loading_ = true;
    clear();
    addItem(nullptr, Computer, QStringLiteral("Computer"), {}, {});
    addItem(nullptr, Network, QStringLiteral("Network"), {}, {});
    loading_ = false;
    if (!remembered.empty())
        selectPath(remembered, wasExpanded);
    setUpdatesEnabled(true);
}

bool FolderTree::load(QTreeWidgetItem* item) {
    if (item->data(0, kLoadedRole).toBool())
        return true;
    const Kind kind = kindOf(item);
    const WaitCursor wait;
    const bool wasLoading = loading_;
    loading_ = true;
    bool kept = true;
    switch (kind) {
    case Computer:
        listComputer(item);
        break;
    case Network:
        listNetwork(item);
        break;
    case Server:
        listServer(item);
        break;
    default: {
        int error = 0;
        if (kind == Share && isRemote(pathOf(item)) && !logInToShare(item))
            break;
        if (isFolder(item, error)) {
            listFolder(item);
        } else if (error == ETIMEDOUT) {
            showUnreadable(item, error);
        } else if (isRemote(pathOf(item)) && error != ENOENT) {
            // A server that cannot be reached now: its folder stays, marked, for another try.
            showUnreadable(item, error);
        } else if (kind == RemovableVolume) {
            // No readable medium: the node shows nothing and loses its button.
            item->setExpanded(false);
            item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        } else if (kind != Root && kind != Share) {
            prune(item);
            kept = false;
        }
    }
    }
    loading_ = wasLoading;
    return kept;
}

void FolderTree::listComputer(QTreeWidgetItem* item) {
    addItem(item, Root, QStringLiteral("/"), "/", "/");
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QStringLiteral("/"))
        addItem(item, Home, QStringLiteral("Home"), widgets::toPath(home), {})
            ->setToolTip(0, QDir::toNativeSeparators(home));
    for (const platform::Volume& volume : platform::mountedVolumes()) {
        if (volume.kind == platform::VolumeKind::Network)
            continue;
        const QString mountPoint = widgets::fromPath(volume.mountPoint);
        QString label = QStorageInfo(mountPoint).name();
        if (label.isEmpty())
            label = mountPoint;
        addItem(item, volume.kind == platform::VolumeKind::Removable ? RemovableVolume : Volume, label,
                volume.mountPoint, {});
    }
    item->setData(0, kLoadedRole, true);
}

void FolderTree::listNetwork(QTreeWidgetItem* item) {
    const std::vector<platform::Volume> volumes = platform::mountedVolumes();
    std::vector<std::string> gvfs;
    for (const platform::Volume& volume : volumes) {
        if (volume.fsType != "fuse.gvfsd-fuse")
            continue;
        std::vector<platform::DirEntry> entries;
        guardedListing(environment_.commands(), environment_.fileSystem(), volume.mountPoint, entries);
        for (const platform::DirEntry& entry : entries)
            if (entry.isDirectory)
                gvfs.push_back(withSlash(volume.mountPoint) + entry.name);
    }
    for (const NetworkServer& server : groupNetworkPlaces(volumes, gvfs)) {
        QTreeWidgetItem* serverItem = addItem(item, Server, widgets::fromPath(server.name), {}, server.name);
        for (const NetworkShare& share : server.shares)
            addItem(serverItem, Share, widgets::fromPath(share.name), share.mountPoint, share.name);
        serverItem->setData(0, kLoadedRole, true);
    }
    for (const RemoteServerPlace& place : environment_.remoteServers())
        addRemoteServer(item, place);
    std::vector<std::string> announced;
    if (const auto discover = environment_.remote.discover)
        guardedResult(environment_.commands(), announced,
                      [discover](std::vector<std::string>& out) { return discover(out); });
    for (const std::string& name : announced)
        addRemoteServer(item, remoteServerPlace("smb://" + name));
    item->setData(0, kLoadedRole, true);
}

bool FolderTree::logInToShare(QTreeWidgetItem* item) {
    if (!environment_.remote.connect)
        return true;
    const std::string why = environment_.remote.connect(pathOf(item));
    if (why.empty())
        return true;
    environment_.commands().reason().set(why);
    showUnreadable(item, EACCES);
    environment_.reporter().report("CTreeFileCtrl::logInToShare", "Could not open the share " + pathOf(item),
                                   true);
    return false;
}

QTreeWidgetItem* FolderTree::addRemoteServer(QTreeWidgetItem* network, const RemoteServerPlace& place) {
    for (int i = 0; i < network->childCount(); ++i)
        if (serverOf(network->child(i)) == place.server)
            return network->child(i);
    QTreeWidgetItem* server = addItem(network, Server, widgets::fromPath(place.caption), {}, place.caption);
    server->setData(0, kServerRole, QByteArray::fromStdString(place.server));
    server->setToolTip(0, widgets::fromPath(place.server + "/"));
    return server;
}

void FolderTree::leaveServerClosed(QTreeWidgetItem* item, const std::string& message,
                                   const std::string& why) {
    // Closed and not loaded: opening it again tries again (a password mistyped, a server started since).
    environment_.commands().reason().set(why);
    item->setToolTip(0, widgets::fromText("Could not connect: " + why));
    item->setExpanded(false);
    environment_.reporter().report("CTreeFileCtrl::listServer", message, true);
}

void FolderTree::listServer(QTreeWidgetItem* item) {
    const std::string server = serverOf(item);
    if (server.empty() || !environment_.remote.connect) {
        item->setData(0, kLoadedRole, true);
        return;
    }
    // Logging in may ask for a host key or a password: the server is opened here, on the window's
    // thread, before anything is listed on a worker.
    if (const std::string why = environment_.remote.connect(server + "/"); !why.empty()) {
        leaveServerClosed(item, "Could not connect to " + server + "/", why);
        return;
    }
    if (!remoteServerPlace(server).hasShares) {
        addItem(item, Root, QStringLiteral("/"), server + "/", "/")
            ->setToolTip(0, widgets::fromPath(server + "/"));
        addItem(item, Home, QStringLiteral("Home"), server + "/~/", "~")
            ->setToolTip(0, widgets::fromPath(server + "/~/"));
        item->setData(0, kLoadedRole, true);
        return;
    }
    std::vector<RemoteShare> shares;
    const auto listShares = environment_.remote.shares;
    if (const int error = guardedResult(environment_.commands(), shares,
                                        [listShares, server](std::vector<RemoteShare>& out) {
                                            return listShares ? listShares(server, out) : ENOTSUP;
                                        })) {
        environment_.commands().reason().setFromError(error);
        leaveServerClosed(item, "Could not list the shares of " + server + "/",
                          environment_.commands().reason().get());
        return;
    }
    for (const RemoteShare& share : shares) {
        QTreeWidgetItem* shareItem =
            addItem(item, Share, widgets::fromPath(share.name), server + "/" + share.name + "/", share.name);
        if (!share.comment.empty())
            shareItem->setToolTip(0, widgets::fromText(share.comment));
    }
    item->setData(0, kLoadedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTree::listFolder(QTreeWidgetItem* item) {
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    qDeleteAll(item->takeChildren());
    const std::string folder = withSlash(pathOf(item));
    std::vector<platform::DirEntry> entries;
    const WaitCursor wait;
    if (const int error =
            guardedListing(environment_.commands(), environment_.fileSystem(), folder, entries)) {
        showUnreadable(item, error);
        setUpdatesEnabled(updates);
        return;
    }
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : entries)
        if (entry.isDirectory && (environment_.showHidden() || !isHiddenName(entry.name)))
            names.push_back(entry.name);
    sortNamesByLocale(names);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(names.size()));
    auto* holder = new QTreeWidgetItem();
    for (const std::string& name : names)
        addItem(holder, Folder, widgets::fromPath(name), folder + name, name);
    children = holder->takeChildren();
    delete holder;
    item->addChildren(children);
    item->setData(0, kLoadedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    setUpdatesEnabled(updates);
}

bool FolderTree::isFolder(QTreeWidgetItem* item, int& error) const {
    platform::FileAttributes attributes;
    error = guardedAttributes(environment_.commands(), environment_.fileSystem(),
                              withoutTrailingSlash(pathOf(item)), attributes);
    return error == 0 && attributes.isDirectory;
}

void FolderTree::showUnreadable(QTreeWidgetItem* item, int error) {
    item->setData(0, kLoadedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    item->setToolTip(
        0, widgets::fromText("Could not read this folder: " + environment_.commands().reason().get()));
    // A mount that stopped answering is worth a message; a folder the user may not read is not.
    if (error == ETIMEDOUT)
        environment_.reporter().report("CTreeFileCtrl::listFolder",
                                       "Could not read folder: " + withSlash(pathOf(item)), true);
}

void FolderTree::prune(QTreeWidgetItem* item) {
    QTreeWidgetItem* parent = item->parent();
    delete item;
    if (parent)
        parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTree::expandNode(QTreeWidgetItem* item) {
    if (loading_ && item->data(0, kLoadedRole).toBool())
        return;
    load(item);
}

void FolderTree::collapseNode(QTreeWidgetItem* item) {
    if (loading_)
        return;
    const WaitCursor wait;
    const bool hadChildren = item->childCount() > 0;
    const Kind kind = kindOf(item);
    const bool wasLoading = loading_;
    loading_ = true;
    bool selectionMoved = false;
    if (currentItem() && currentItem() != item) {
        for (QTreeWidgetItem* up = currentItem()->parent(); up; up = up->parent())
            if (up == item) {
                setCurrentItem(item);
                selectionMoved = true;
                break;
            }
    }
    qDeleteAll(item->takeChildren());
    item->setData(0, kLoadedRole, false);
    if (!isNetworkKind(kind))
        item->setChildIndicatorPolicy(hadChildren ? QTreeWidgetItem::ShowIndicator
                                                  : QTreeWidgetItem::DontShowIndicator);
    loading_ = wasLoading;
    // The highlight moved up to the collapsed folder: the list and the dialog must follow it, or
    // they would go on naming a folder that is no longer highlighted.
    if (selectionMoved && !loading_)
        Q_EMIT selectedPathChanged();
}

QTreeWidgetItem* FolderTree::selectRemotePath(const RemoteTreePath& path, bool expand) {
    if (topLevelItemCount() < 2)
        return nullptr;
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    QTreeWidgetItem* network = topLevelItem(1);
    load(network);
    network->setExpanded(true);
    QTreeWidgetItem* at = addRemoteServer(network, remoteServerPlace(path.server));
    std::vector<std::string> segments;
    if (!path.top.empty())
        segments.push_back(path.top);
    segments.insert(segments.end(), path.folders.begin(), path.folders.end());
    const bool foldsCase = remoteServerPlace(path.server).hasShares;
    std::size_t found = 0;
    for (const std::string& segment : segments) {
        if (!load(at))
            break;
        at->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < at->childCount() && !next; ++i) {
            const QString name = widgets::fromPath(nameOf(at->child(i)));
            if (name.compare(widgets::fromPath(segment),
                             foldsCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0)
                next = at->child(i);
        }
        if (!next)
            break;
        at = next;
        ++found;
    }
    setCurrentItem(at);
    if (found == segments.size() && expand && load(at))
        at->setExpanded(true);
    scrollToItem(at, QAbstractItemView::PositionAtCenter);
    horizontalScrollBar()->setValue(0);
    setUpdatesEnabled(updates);
    return found == segments.size() ? at : nullptr;
}

QTreeWidgetItem* FolderTree::selectPath(const std::string& path, bool expand) {
    if (path.empty() || topLevelItemCount() == 0)
        return nullptr;
    if (RemoteTreePath remotePath; remoteTreePath(path, remotePath))
        return selectRemotePath(remotePath, expand);
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    QTreeWidgetItem* at = topLevelItem(0);
    load(at);
    at->setExpanded(true);
    QTreeWidgetItem* deepest = nullptr;
    const std::size_t segments = pathSegments(path).size();
    const std::size_t found = walkPath(path, [&](const std::string& segment, bool last) {
        if (!load(at))
            return false;
        for (int i = 0; i < at->childCount(); ++i) {
            QTreeWidgetItem* child = at->child(i);
            if (nameOf(child) == segment) {
                at = child;
                deepest = child;
                if (!last) {
                    if (!load(child))
                        return false;
                    child->setExpanded(true);
                }
                return true;
            }
        }
        // A hidden folder asked for by path is shown although hidden ones are not listed.
        if (isHiddenName(segment) && kindOf(at) != Computer) {
            platform::FileAttributes attributes;
            const std::string hiddenPath = withSlash(pathOf(at)) + segment;
            if (guardedAttributes(environment_.commands(), environment_.fileSystem(), hiddenPath,
                                  attributes) == 0 &&
                attributes.isDirectory) {
                at = addItem(at, Folder, widgets::fromPath(segment), hiddenPath, segment);
                deepest = at;
                if (!last && load(at))
                    at->setExpanded(true);
                return true;
            }
        }
        return false;
    });
    if (deepest) {
        setCurrentItem(deepest);
        if (found == segments && expand && load(deepest))
            deepest->setExpanded(true);
        scrollToItem(deepest, QAbstractItemView::PositionAtCenter);
        horizontalScrollBar()->setValue(0);
    }
    setUpdatesEnabled(updates);
    return found == segments && found > 0 ? deepest : nullptr;
}

std::string FolderTree::selectedPath() const {
    return pathOf(currentItem());
}

bool FolderTree::exists(QTreeWidgetItem* item) const {
    const Kind kind = kindOf(item);
    if (kind == Computer || kind == Network || kind == Server || kind == Share || kind == Root ||
        kind == Home)
        return true;
    int error = 0;
    // A folder that does not answer in time is kept, shown as unreadable, not pruned as gone.
    return isFolder(item, error) || error == ETIMEDOUT;
}

void FolderTree::onCurrentChanged(QTreeWidgetItem* current) {
    if (loading_ || !current)
        return;
    if (!exists(current)) {
        prune(current);
        return; // the selection moves on, and that change is told
    }
    Q_EMIT selectedPathChanged();
}

bool FolderTree::mayRename(const QTreeWidgetItem* item) const {
    return item && (options_ & AllowRename) && !isPlace(kindOf(item));
}

bool FolderTree::mayDelete(const QTreeWidgetItem* item) const {
    return item && (options_ & AllowDelete) && !isPlace(kindOf(item));
}

bool FolderTree::mayOpen(const QTreeWidgetItem* item) const {
    return item && kindOf(item) != Network && kindOf(item) != Computer && !pathOf(item).empty();
}

bool FolderTree::mayOpenOnDesktop(const QTreeWidgetItem* item) const {
    return mayOpen(item) && !isRemote(pathOf(item));
}

bool FolderTree::beginRename(QTreeWidgetItem* item) {
    if (!mayRename(item))
        return false;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    renaming_ = item;
    editItem(item, 0);
    return true;
}

void FolderTree::onItemChanged(QTreeWidgetItem* item, int) {
    if (item != renaming_ || loading_)
        return;
    renaming_ = nullptr;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    const std::string oldName = nameOf(item);
    const std::string newName = widgets::toPath(item->text(0));
    if (newName.empty() || newName == oldName) {
        loading_ = true;
        item->setText(0, widgets::fromPath(oldName));
        loading_ = false;
        return;
    }
    FileBrowser browser(environment_.services());
    FileItem entry;
    entry.setPath(withoutTrailingSlash(pathOf(item)));
    entry.kind = kFolder;
    FileItemPtr renamed;
    loading_ = true;
    if (browser.rename(entry, newName, &renamed)) {
        item->setData(0, kPathRole, QByteArray::fromStdString(renamed->fullPath()));
        item->setData(0, kNameRole, QByteArray::fromStdString(newName));
        qDeleteAll(item->takeChildren());
        item->setData(0, kLoadedRole, false);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        loading_ = false;
        Q_EMIT folderRenamed(entry.fullPath(), renamed->fullPath());
        Q_EMIT foldersChanged();
        Q_EMIT selectedPathChanged();
        return;
    }
    item->setText(0, widgets::fromPath(oldName));
    loading_ = false;
}

bool FolderTree::deleteItem(QTreeWidgetItem* item, bool permanently) {
    if (!mayDelete(item))
        return false;
    const std::string path = withoutTrailingSlash(pathOf(item));
    FrontEndPort& frontEnd = environment_.frontEnd();
    bool deleted = false;
    if (isRemote(path)) {
        if (!frontEnd.cautiousQuestion("There is no trash on " + remote::serverPart(path) +
                                       ": delete this folder and everything in it for good?\n" + path))
            return false;
        const WaitCursor wait;
        FileBrowser browser(environment_.services());
        DeleteQuestions questions(frontEnd, environment_.reporter().silent());
        deleted = browser.deleteFolderTree(path, questions);
    } else if (permanently) {
        if (!frontEnd.question(
                "Delete this folder and everything in it for good? It will not go to the trash.\n" + path))
            return false;
        const WaitCursor wait;
        FileBrowser browser(environment_.services());
        DeleteQuestions questions(frontEnd, environment_.reporter().silent());
        deleted = browser.deleteFolderTree(path, questions);
    } else {
        if (!frontEnd.question("Move this folder to the trash?\n" + path))
            return false;
        const WaitCursor wait;
        FileBrowser browser(environment_.services());
        DeleteQuestions questions(frontEnd, environment_.reporter().silent());
        deleted = browser.trashOrDelete(path, questions);
    }
    if (deleted) {
        loading_ = true;
        QTreeWidgetItem* parent = item->parent();
        delete item;
        loading_ = false;
        if (parent)
            setCurrentItem(parent);
        Q_EMIT foldersChanged();
    }
    return deleted;
}

void FolderTree::showProperties(QTreeWidgetItem* item) {
    if (!item || !(options_ & AllowProperties) || !mayOpen(item))
        return;
    PropertiesDlg dialog(pathOf(item), environment_.fileSystem(), this);
    dialog.exec();
}

void FolderTree::openItem(QTreeWidgetItem* item) {
    if (!item || !(options_ & AllowOpen) || !mayOpenOnDesktop(item))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(widgets::fromPath(pathOf(item))));
}

void FolderTree::showMenuAt(const QPoint& position) {
    QTreeWidgetItem* item = currentItem();
    BrowseMenu entries(this, environment_.showHidden());
    auto& [menu, open, rename, remove, properties, hidden] = entries;
    open->setEnabled(item && (options_ & AllowOpen) && mayOpenOnDesktop(item));
    rename->setEnabled(mayRename(item));
    remove->setEnabled(mayDelete(item));
    properties->setEnabled(item && (options_ & AllowProperties) && mayOpen(item));
    QAction* chosen = menu.exec(position);
    if (chosen == open)
        openItem(item);
    else if (chosen == rename)
        beginRename(item);
    else if (chosen == remove)
        deleteItem(item, (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0);
    else if (chosen == properties)
        showProperties(item);
    else if (chosen == hidden)
        setShowHidden(hidden->isChecked());
}

void FolderTree::setShowHidden(bool show) {
    environment_.setShowHidden(show);
    reload();
    Q_EMIT showHiddenChanged();
}

void FolderTree::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        if (QTreeWidgetItem* item = itemAt(event->pos()))
            setCurrentItem(item);
        showMenuAt(event->globalPos());
    } else if (QTreeWidgetItem* item = currentItem()) {
        showMenuAt(viewport()->mapToGlobal(visualItemRect(item).center()));
    }
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
    if (state() == QAbstractItemView::EditingState) {
        QTreeWidget::keyPressEvent(event);
        // Enter ends the rename; passed on, it would also press the dialog's default button.
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    QTreeWidgetItem* item = currentItem();
    switch (event->key()) {
    case Qt::Key_F10:
        if (modifiers == Qt::ShiftModifier && item) {
            showMenuAt(viewport()->mapToGlobal(visualItemRect(item).center()));
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::AltModifier)
            showProperties(item);
        else if (options_ & AllowOpen)
            openItem(item);
        else if (options_ & EnterExpands) {
            if (item)
                item->setExpanded(!item->isExpanded());
        } else
            event->ignore(); // the dialog's default button
        return;
    case Qt::Key_Delete:
        deleteItem(item, modifiers == Qt::ShiftModifier);
        return;
    case Qt::Key_F2:
        beginRename(item);
        return;
    case Qt::Key_Backspace:
    case Qt::Key_F5:
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (modifiers == Qt::AltModifier)
            return;
        break;
    default:
        break;
    }
    QTreeWidget::keyPressEvent(event);
}

void FolderTree::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    // Showing scrolls the selected folder into view sideways too; the names read from the left.
    QTimer::singleShot(0, this, [this] { horizontalScrollBar()->setValue(0); });
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    QTreeWidgetItem* item = currentItem();
    if (item && item == itemAt(event->position().toPoint()) && item->childCount() == 0 &&
        item->data(0, kLoadedRole).toBool())
        openItem(item);
}

} // namespace velmora::browse
