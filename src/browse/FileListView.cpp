#include "browse/FileListView.h"

#include "browse/FileListModel.h"
#include "browse/NameCollation.h"
#include "engine/ErrorReporter.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::browse {

namespace {

// The icon and list styles select only the name cell of a row, so a row counts as selected when
// any of its cells is; requiring every column would leave those styles with no selection at all.
QList<int> selectedRowNumbers(const QItemSelectionModel& selection) {
    QList<int> rows;
    for (const QModelIndex& index : selection.selectedIndexes())
        if (!rows.contains(index.row()))
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

FileListView::FileListView(std::vector<FileItemPtr>& hostSelection, bool showActions, QWidget* parent)
    : QWidget(parent), hostSelection_(hostSelection), model_(new FileListModel(showActions, this)),
      stack_(new QStackedWidget(this)), listView_(new QListView(stack_)),
      detailsView_(new QTreeView(stack_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    stack_->addWidget(listView_);
    stack_->addWidget(detailsView_);
    setFocusProxy(listView_);

    listView_->setModel(model_);
    detailsView_->setModel(model_);
    selection_ = listView_->selectionModel();
    QItemSelectionModel* unused = detailsView_->selectionModel();
    detailsView_->setSelectionModel(selection_);
    delete unused;

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(listView_), static_cast<QAbstractItemView*>(detailsView_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, &FileListView::onDoubleClick);
    }
    listView_->setUniformItemSizes(true);
    listView_->setLayoutMode(QListView::Batched);
    listView_->setBatchSize(2000);
    listView_->setAccessibleName(QStringLiteral("Files"));
    detailsView_->setAccessibleName(QStringLiteral("Files"));
    detailsView_->setRootIsDecorated(false);
    detailsView_->setUniformRowHeights(true);
    detailsView_->setAllColumnsShowFocus(true);
    detailsView_->header()->setSectionsClickable(true);
    detailsView_->header()->setSortIndicatorShown(true);
    detailsView_->header()->setStretchLastSection(false);
    detailsView_->setColumnWidth(0, 220);
    detailsView_->setColumnWidth(1, 90);
    detailsView_->setColumnWidth(2, 140);
    detailsView_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(detailsView_->header(), &QHeaderView::sectionClicked, this, &FileListView::onHeaderClicked);

    keyTimer_.setSingleShot(true);
    keyTimer_.setInterval(50);
    connect(&keyTimer_, &QTimer::timeout, this, &FileListView::takeSelection);
    // A click takes the selection at once; arrow keys wait for the timer.
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!keyTimer_.isActive())
            takeSelection();
    });
    // The edited row is the one renamed, whatever else the selection holds by then. The rename
    // relists the folder, so it waits until the view has closed its editor.
    connect(model_, &FileListModel::renameRequested, this, [this](int row, const QString& name) {
        const FileItemPtr edited = model_->item(row);
        QTimer::singleShot(0, this, [this, edited, name] {
            const auto& rows = model_->items();
            const auto found = std::find(rows.begin(), rows.end(), edited);
            if (found == rows.end())
                return;
            FileItem renamed = *edited;
            renamed.name = widgets::toPath(name);
            renameItem(renamed, static_cast<int>(found - rows.begin()));
        });
    });
}

// The views outlive this part of the object while QWidget deletes its children, and their
// selection model must not call back into it then.
FileListView::~FileListView() {
    selection_->disconnect(this);
}

ListingOrder& FileListView::order() {
    static ListingOrder shared;
    return shared;
}

namespace {
SettingsStore* theProgramSettings = nullptr;
}

void FileListView::setProgramSettings(SettingsStore* settings) {
    theProgramSettings = settings;
}

SettingsStore* FileListView::programSettings() {
    return theProgramSettings;
}

void FileListView::initList(ErrorReporter* reporter, SettingsStore* settings,
                            std::optional<bool> dayMonthYear) {
    reporter_ = reporter;
    settings_ = settings ? settings : theProgramSettings;
    if (!dayMonthYear)
        dayMonthYear = settings_ ? readGeneralSettings(*settings_).ddmmyy : true;
    dayMonthYear_ = *dayMonthYear;
    model_->setDayMonthYear(dayMonthYear_);
    int style = List;
    if (settings_)
        if (const auto stored = settings_->readNumber("BrowseStyle"); stored && *stored <= 3)
            style = static_cast<int>(*stored);
    quiet_ = true;
    setViewStyle(style);
    quiet_ = false;
}

void FileListView::setViewStyle(int style) {
    if (style < 0 || style > 3)
        return;
    style_ = style;
    const bool hadFocus = currentView()->hasFocus();
    if (style == Details) {
        stack_->setCurrentWidget(detailsView_);
        setFocusProxy(detailsView_);
    } else {
        stack_->setCurrentWidget(listView_);
        setFocusProxy(listView_);
        const bool large = style == LargeIcons;
        listView_->setViewMode(style == List ? QListView::ListMode : QListView::IconMode);
        listView_->setFlow(style == List ? QListView::TopToBottom : QListView::LeftToRight);
        listView_->setWrapping(true);
        listView_->setResizeMode(QListView::Adjust);
        listView_->setMovement(QListView::Static);
        const int icon = large ? 32 : 16;
        listView_->setIconSize(QSize(icon, icon));
        listView_->setSpacing(style == List ? 1 : 0);
        listView_->setWordWrap(large);
        listView_->setTextElideMode(Qt::ElideMiddle);
    }
    fitNameCells();
    if (hadFocus)
        currentView()->setFocus();
    if (settings_)
        settings_->writeNumber("BrowseStyle", static_cast<std::uint32_t>(style));
    if (!quiet_)
        Q_EMIT viewStyleChanged(style);
}

QAbstractItemView* FileListView::currentView() const {
    return style_ == Details ? static_cast<QAbstractItemView*>(detailsView_) : listView_;
}

void FileListView::showItems(std::vector<FileItemPtr> items) {
    hostSelection_.clear();
    std::erase_if(items,
                  [](const FileItemPtr& item) { return item->kind != kFolder && item->kind != kFile; });
    sortListingByLocale(items, order());
    model_->setItems(std::move(items));
    longestName_ = -1;
    fitNameCells();
    detailsView_->header()->setSortIndicator(order().key == SortKey::Name   ? 0
                                             : order().key == SortKey::Size ? 1
                                                                            : 2,
                                             order().descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (!quiet_)
        Q_EMIT listChanged();
}

const std::vector<FileItemPtr>& FileListView::items() const {
    return model_->items();
}

void FileListView::refreshIcons() {
    model_->refreshIcons();
}

void FileListView::setRenamable(bool on) {
    model_->setEditable(on);
}

bool FileListView::editSelectedLabel() {
    const QList<int> rows = selectedRowNumbers(*selection_);
    if (rows.isEmpty())
        return false;
    const QModelIndex name = model_->index(rows.front(), 0);
    currentView()->setCurrentIndex(name);
    currentView()->edit(name);
    return true;
}

void FileListView::fitNameCells() {
    if (style_ == Details) {
        model_->setNameCellSize({});
        return;
    }
    const QFontMetrics metrics = listView_->fontMetrics();
    // Measured once per listing: resizing the window must not measure every name again.
    if (longestName_ < 0) {
        longestName_ = 0;
        for (const FileItemPtr& item : model_->items())
            longestName_ = std::max(longestName_, metrics.horizontalAdvance(widgets::fromPath(item->name)));
    }
    const int longest = longestName_;
    const int icon = listView_->iconSize().width();
    const int gap = metrics.averageCharWidth();
    const int room = std::max(listView_->viewport()->width() - 2 * gap, 8 * gap);
    if (style_ == LargeIcons) {
        // Icon above, the name below on up to two lines; wider cells only as long names need.
        const int width = std::clamp(longest + gap, 12 * gap, std::min(room, 24 * gap));
        const QSize cell(width, icon + 2 * metrics.lineSpacing() + gap);
        model_->setNameCellSize(cell);
        listView_->setGridSize(cell + QSize(gap, gap));
        return;
    }
    const QSize cell(std::min(icon + 2 * gap + longest, room), std::max(icon, metrics.height()) + 4);
    model_->setNameCellSize(cell);
    listView_->setGridSize(style_ == SmallIcons ? cell + QSize(gap, 0) : QSize());
}

void FileListView::takeSelection() {
    keyTimer_.stop();
    hostSelection_.clear();
    for (const int row : selectedRowNumbers(*selection_))
        hostSelection_.push_back(model_->item(row));
    Q_EMIT selectionChanged();
}

void FileListView::selectItems(const std::vector<FileItemPtr>& wanted) {
    QItemSelection rows;
    for (int row = 0; row < model_->rowCount(); ++row)
        if (std::find(wanted.begin(), wanted.end(), model_->item(row)) != wanted.end())
            rows.select(model_->index(row, 0), model_->index(row, 2));
    selection_->select(rows, QItemSelectionModel::ClearAndSelect);
    takeSelection();
}

void FileListView::applyOrder() {
    std::vector<FileItemPtr> items = model_->items();
    const std::vector<FileItemPtr> selected = hostSelection_;
    showItems(std::move(items));
    selectItems(selected);
}

void FileListView::onHeaderClicked(int column) {
    order() = clickColumn(order(), column);
    applyOrder();
}

void FileListView::onDoubleClick(const QModelIndex& index) {
    takeSelection();
    if (!index.isValid())
        return;
    const FileItemPtr& item = model_->item(index.row());
    if (hostSelection_.empty() || hostSelection_.front() != item) {
        report("FileBrowseCtrl::changeDirToItem", "Invalid Selection");
        return;
    }
    if (item->kind == kFolder)
        changeIntoFolder(item);
    else
        report("FileBrowseCtrl::changeDirToItem", "Please double click a folder to browse it");
}

bool FileListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == listView_->viewport())
        fitNameCells();
    if (event->type() == QEvent::ContextMenu &&
        (watched == listView_->viewport() || watched == detailsView_->viewport())) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        QAbstractItemView* view = currentView();
        QPoint at = menuEvent->globalPos();
        if (menuEvent->reason() == QContextMenuEvent::Mouse) {
            // A right click on an unselected name selects it first, as file managers do.
            const QModelIndex index = view->indexAt(menuEvent->pos());
            if (index.isValid() && !selection_->isSelected(index))
                view->setCurrentIndex(index);
            else if (!index.isValid())
                selection_->clearSelection();
        } else if (const QModelIndex current = view->currentIndex(); current.isValid()) {
            at = view->viewport()->mapToGlobal(view->visualRect(current).center());
        }
        takeSelection();
        showContextMenu(at);
        return true;
    }
    // Keys an open name editor passes on (Enter, Delete, Backspace) belong to the edit, not the list.
    // Enter ends the edit; passed on, it would also press the dialog's default button.
    const QWidget* focus = QApplication::focusWidget();
    const bool editing = focus && currentView()->viewport()->isAncestorOf(focus);
    if (editing && event->type() == QEvent::KeyPress && (watched == listView_ || watched == detailsView_)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    if (event->type() == QEvent::KeyPress && !editing && (watched == listView_ || watched == detailsView_)) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            keyTimer_.start();
            return false;
        case Qt::Key_Delete:
            takeSelection();
            deleteSelected();
            return true;
        case Qt::Key_F2:
            takeSelection();
            editSelectedLabel();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (const QModelIndex current = currentView()->currentIndex();
                current.isValid() && key->modifiers() == Qt::NoModifier) {
                onDoubleClick(current);
                return true;
            }
            return false;
        case Qt::Key_Backspace:
            if (canGoUp())
                upOneFolder();
            return true;
        default:
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FileListView::report(const char* context, const std::string& message, bool withReason) {
    if (reporter_)
        reporter_->report(context, message, withReason);
    else
        widgets::showMessage(this, widgets::fromText(message));
}

void FileListView::changeIntoFolder(const FileItemPtr&) {}
void FileListView::deleteSelected() {}
void FileListView::renameItem(const FileItem&, int) {}
void FileListView::reload() {}

} // namespace velmora::browse
