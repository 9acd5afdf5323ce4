#include "browse/BrowseList.h"

#include "browse/BrowseEnvironment.h"
#include "browse/BrowseMenu.h"
#include "browse/DirectoryNameDlg.h"
#include "browse/PropertiesDlg.h"
#include "browse/WaitCursor.h"
#include "remote/RemoteAddress.h"
#include "widgets/Text.h"

#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace velmora::browse {

BrowseList::BrowseList(BrowseEnvironment& environment, std::vector<FileItemPtr>& hostSelection,
                       bool showActions, QWidget* parent)
    : FileListView(hostSelection, showActions, parent), environment_(environment),
      browser_(environment.services()) {
    initList(&environment.reporter(), environment.settings(), environment.dayMonthYear);
    setRenamable(true);
    browser_.onStatus = [this](const std::string& text) { Q_EMIT statusMessage(widgets::fromPath(text)); };
}

void BrowseList::refill(bool moved) {
    auto folder = std::make_shared<FileItem>();
    folder->setPath(browser_.currentFolder());
    folder->kind = kFolder;
    setCurrentFolder(folder);
    std::vector<FileItemPtr> items = browser_.items();
    if (!environment_.showHidden())
        std::erase_if(items, [](const FileItemPtr& item) { return isHiddenName(item->name); });
    showItems(std::move(items));
    Q_EMIT statusMessage(QString());
    if (moved)
        Q_EMIT folderChanged();
}

bool BrowseList::showFolder(const std::string& path) {
    const WaitCursor wait;
    browser_.setOrder(order());
    const bool moved = path != browser_.currentFolder();
    if (!browser_.showFolder(path))
        return false;
    refill(moved);
    return true;
}

void BrowseList::reload() {
    const WaitCursor wait;
    browser_.setOrder(order());
    if (browser_.reload())
        refill(false);
}

void BrowseList::changeIntoFolder(const FileItemPtr& folder) {
    const WaitCursor wait;
    browser_.setOrder(order());
    if (browser_.enterFolder(*folder))
        refill(true);
}

void BrowseList::upOneFolder() {
    const WaitCursor wait;
    browser_.setOrder(order());
    if (browser_.upOneFolder())
        refill(true);
}

void BrowseList::followRename(const std::string& before, const std::string& after) {
    if (const std::optional<std::string> moved = pathAfterRename(folderPath(), before, after))
        showFolder(*moved);
}

bool BrowseList::deleteSelectedItems() {
    takeSelection();
    const std::vector<FileItemPtr> selection = hostSelection();
    if (selection.empty())
        return false;
    const WaitCursor wait;
    browser_.setOrder(order());
    const bool ranToEnd = browser_.deleteItems(selection);
    refill(false);
    Q_EMIT entriesDeleted();
    return ranToEnd;
}

void BrowseList::renameItem(const FileItem& renamed, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= items().size())
        return;
    const FileItemPtr before = items()[static_cast<std::size_t>(row)];
    FileItemPtr after;
    browser_.setOrder(order());
    if (!browser_.rename(*before, renamed.name, &after))
        return;
    refill(false);
    if (before->kind == kFolder)
        Q_EMIT entryRenamed(before, after);
    for (const FileItemPtr& item : items())
        if (item->name == after->name)
            selectItems({item});
}

bool BrowseList::createFolder() {
    DirectoryNameDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const std::string name = widgets::toPath(dialog.name());
    const bool created = name.empty() || browser_.createFolder(name);
    if (created)
        refill(false);
    return created;
}

void BrowseList::openSelected() {
    if (hostSelection().size() != 1)
        return;
    const FileItemPtr item = hostSelection().front();
    if (item->kind == kFolder)
        changeIntoFolder(item);
    else if (!remote::isRemoteLocation(item->fullPath())) // the desktop opens files of this machine only
        QDesktopServices::openUrl(QUrl::fromLocalFile(widgets::fromPath(item->fullPath())));
}

void BrowseList::setShowHidden(bool show) {
    environment_.setShowHidden(show);
    reload();
    Q_EMIT showHiddenChanged();
}

void BrowseList::showContextMenu(const QPoint& position) {
    const std::size_t selected = hostSelection().size();
    BrowseMenu entries(this, environment_.showHidden());
    auto& [menu, open, rename, remove, properties, hidden] = entries;
    open->setEnabled(selected == 1 && (hostSelection().front()->kind == kFolder ||
                                       !remote::isRemoteLocation(hostSelection().front()->fullPath())));
    rename->setEnabled(selected == 1);
    remove->setEnabled(selected > 0);
    properties->setEnabled(selected == 1);
    QAction* chosen = menu.exec(position);
    if (chosen == open)
        openSelected();
    else if (chosen == rename)
        editSelectedLabel();
    else if (chosen == remove)
        deleteSelected();
    else if (chosen == properties) {
        PropertiesDlg dialog(hostSelection().front()->fullPath(), environment_.fileSystem(), this);
        dialog.exec();
    } else if (chosen == hidden)
        setShowHidden(hidden->isChecked());
}

} // namespace velmora::browse
