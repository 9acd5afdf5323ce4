#include "browse/BrowseList.h"

#include "browse/BrowseEnvironment.h"
#include "browse/DirectoryNameDlg.h"
#include "browse/WaitCursor.h"
#include "widgets/Text.h"

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
    showItems(browser_.items());
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

} // namespace velmora::browse
