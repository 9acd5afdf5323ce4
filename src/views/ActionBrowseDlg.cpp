#include "views/ActionBrowseDlg.h"

#include "browse/BrowseIcons.h"
#include "browse/FileListView.h"
#include "browse/NameCollation.h"
#include "browse/ViewStyleCombo.h"
#include "views/ActionLegendDlg.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

namespace velmora::views {

// The list of the action browser: items of the dialog's array; a double click opens a folder.
class ActionItemList : public browse::FileListView {
public:
    ActionItemList(ActionBrowseDlg& dialog, std::vector<FileItemPtr>& selection, QWidget* parent)
        : FileListView(selection, true, parent), dialog_(dialog) {}

    void changeIntoFolder(const FileItemPtr& folder) override { dialog_.showFolder(folder->folderForm()); }
    bool canGoUp() const override;
    void upOneFolder() override { dialog_.upOneLevel(); }
    void deleteSelected() override {}
    void shown(const std::string& folder) {
        auto item = std::make_shared<FileItem>();
        item->setPath(folder);
        item->kind = kFolder;
        setCurrentFolder(item);
    }

private:
    ActionBrowseDlg& dialog_;
};

namespace {

const widgets::TooltipTable kTooltips{{"up", "Go up one level in folder hierarchy"},
                                      {"currentDirectory", "Displays the current selected folder"},
                                      {"remove", "Remove the file or folder from the synchronisation"},
                                      {"viewCombo", "Change view style of right pane"},
                                      {"legend", "Icon explanations"}};

std::string parentOf(const std::string& folder) {
    if (folder.size() <= 1)
        return folder;
    const std::size_t slash = folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// The folder every item lies in (ending in '/'), or "/" when they share nothing longer.
std::string commonFolder(const std::vector<FileItemPtr>& items) {
    if (items.empty())
        return "/";
    std::string common = items.front()->folder;
    for (const FileItemPtr& item : items) {
        std::size_t length = 0;
        while (length < common.size() && length < item->folder.size() &&
               common[length] == item->folder[length])
            ++length;
        common.resize(length);
    }
    const std::size_t slash = common.rfind('/');
    return slash == std::string::npos ? std::string("/") : common.substr(0, slash + 1);
}

// The folders below a node in the order the file list shows names.
void sortChildren(QTreeWidgetItem* node) {
    std::map<std::string, QList<QTreeWidgetItem*>> byName;
    std::vector<std::string> names;
    for (QTreeWidgetItem* child : node->takeChildren()) {
        const std::string name = widgets::toPath(child->text(0));
        if (!byName.contains(name))
            names.push_back(name);
        byName[name].push_back(child);
    }
    browse::sortNamesByLocale(names);
    for (const std::string& name : names)
        for (QTreeWidgetItem* child : byName[name]) {
            node->addChild(child);
            sortChildren(child);
        }
}

QPushButton* button(const char* text, const char* name, QWidget* parent) {
    auto* result = new QPushButton(QString::fromLatin1(text), parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

} // namespace

bool ActionItemList::canGoUp() const {
    return dialog_.shownFolder().size() > 1 && currentFolder()->fullPath() != "/";
}

ActionBrowseDlg::ActionBrowseDlg(std::vector<FileItemPtr>& items, const std::string& startFolder,
                                 bool removalAllowed, bool showTooltips, QWidget* parent)
    : QDialog(parent), callerItems_(items), items_(items), startFolder_(startFolder),
      removalAllowed_(removalAllowed), directory_(new QLineEdit(this)), tree_(new QTreeWidget(this)),
      list_(new ActionItemList(*this, selection_, this)), status_(new QLabel(this)),
      up_(button("&Up", "up", this)), remove_(button("&Remove", "remove", this)) {
    setWindowTitle(QStringLiteral("Browse Files"));
    setObjectName(QStringLiteral("actionBrowseDialog"));
    setSizeGripEnabled(true);
    list_->initList(nullptr, nullptr);
    auto* layout = new QGridLayout(this);
    auto* directoryLabel = new QLabel(QStringLiteral("Current &Directory:"), this);
    directoryLabel->setBuddy(directory_);
    directory_->setObjectName(QStringLiteral("currentDirectory"));
    directory_->setReadOnly(true);
    directory_->setAccessibleName(QStringLiteral("Current Directory"));
    auto* top = new QHBoxLayout();
    top->addWidget(directoryLabel);
    top->addWidget(directory_, 1);
    top->addWidget(up_);
    QComboBox* combo = browse::makeViewStyleCombo(list_, this);
    top->addWidget(combo);
    layout->addLayout(top, 0, 0);

    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setAccessibleName(QStringLiteral("Folders"));
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    list_->setObjectName(QStringLiteral("fileList"));
    auto* splitter = new QSplitter(this);
    splitter->addWidget(tree_);
    splitter->addWidget(list_);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({fontMetrics().averageCharWidth() * 35, fontMetrics().averageCharWidth() * 70});
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1, 0);
    status_->setObjectName(QStringLiteral("status"));
    layout->addWidget(status_, 2, 0);

    auto* buttons = new QVBoxLayout();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = button("Cancel", "cancel", this);
    QPushButton* legend = button("&Legend", "legend", this);
    for (QPushButton* each : {ok, cancel, remove_, legend})
        buttons->addWidget(each);
    buttons->addStretch(1);
    layout->addLayout(buttons, 0, 1, 3, 1);
    layout->setRowStretch(1, 1);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 30);

    remove_->setVisible(removalAllowed_);
    widgets::applyTooltips(this, kTooltips, showTooltips);
    connect(ok, &QPushButton::clicked, this, &ActionBrowseDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(up_, &QPushButton::clicked, this, &ActionBrowseDlg::upOneLevel);
    connect(remove_, &QPushButton::clicked, this, &ActionBrowseDlg::removeSelected);
    connect(legend, &QPushButton::clicked, this, [this] { ActionLegendDlg(this).exec(); });
    connect(list_, &browse::FileListView::selectionChanged, this, &ActionBrowseDlg::updateControls);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current)
            showFolder(current->data(0, Qt::UserRole).toByteArray().toStdString());
    });
    // The tree and list fill once the dialog shows.
    fillTimer_.setSingleShot(true);
    fillTimer_.setInterval(50);
    connect(&fillTimer_, &QTimer::timeout, this, &ActionBrowseDlg::fill);
    fillTimer_.start();
    updateControls();
}

ActionBrowseDlg::~ActionBrowseDlg() = default;

QTreeWidgetItem* ActionBrowseDlg::nodeFor(const std::string& folder) {
    if (const auto found = nodes_.find(folder); found != nodes_.end())
        return found->second;
    if (folder.size() <= top_.size() || !folder.starts_with(top_))
        return nodes_[top_];
    QTreeWidgetItem* parent = nodeFor(parentOf(folder));
    auto* node = new QTreeWidgetItem(parent);
    const std::string name =
        folder.substr(parentOf(folder).size(), folder.size() - parentOf(folder).size() - 1);
    node->setText(0, widgets::fromPath(name));
    node->setIcon(0, browse::folderIcon());
    node->setData(0, Qt::UserRole, QByteArray::fromStdString(folder));
    nodes_[folder] = node;
    return node;
}

void ActionBrowseDlg::buildTree() {
    tree_->clear();
    nodes_.clear();
    top_ = commonFolder(items_);
    auto* root = new QTreeWidgetItem(tree_);
    root->setText(0, widgets::fromPath(top_));
    root->setIcon(0, browse::folderIcon());
    root->setData(0, Qt::UserRole, QByteArray::fromStdString(top_));
    nodes_[top_] = root;
    for (const FileItemPtr& item : items_) {
        nodeFor(item->folder);
        if (item->kind == kFolder)
            nodeFor(item->folderForm());
    }
    sortChildren(root);
    root->setExpanded(true);
}

void ActionBrowseDlg::fill() {
    fillTimer_.stop();
    directory_->setText(widgets::fromPath(startFolder_));
    buildTree();
    const bool startKnown =
        !startFolder_.empty() && std::any_of(items_.begin(), items_.end(), [this](const FileItemPtr& item) {
            return item->folder.starts_with(startFolder_);
        });
    if (!startKnown)
        startFolder_.clear();
    showFolder(startKnown ? startFolder_ : top_);
}

void ActionBrowseDlg::showFolder(const std::string& folder) {
    shownFolder_ = folder;
    std::vector<FileItemPtr> shown;
    std::vector<std::string> folderItems;
    for (const FileItemPtr& item : items_)
        if (item->folder == folder) {
            shown.push_back(item);
            if (item->kind == kFolder)
                folderItems.push_back(item->folderForm());
        }
    // Folders that hold actions but are not actions themselves still lead the way down.
    for (const auto& [path, node] : nodes_) {
        if (path.size() > folder.size() && parentOf(path) == folder &&
            std::find(folderItems.begin(), folderItems.end(), path) == folderItems.end()) {
            auto leading = std::make_shared<FileItem>();
            leading->setPath(path.substr(0, path.size() - 1));
            leading->kind = kFolder;
            shown.push_back(leading);
        }
    }
    const std::size_t count = shown.size();
    list_->shown(folder);
    list_->showItems(std::move(shown));
    status_->setText(QStringLiteral("%1 items in %2").arg(count).arg(widgets::fromPath(folder)));
    QTreeWidgetItem* node = nodeFor(folder);
    if (tree_->currentItem() != node) {
        const QSignalBlocker quiet(tree_);
        tree_->setCurrentItem(node);
    }
    updateControls();
}

void ActionBrowseDlg::upOneLevel() {
    if (shownFolder_.size() > top_.size() && shownFolder_.starts_with(top_))
        showFolder(parentOf(shownFolder_));
}

void ActionBrowseDlg::removeSelected() {
    if (!removalAllowed_ || selection_.empty())
        return;
    const std::vector<FileItemPtr> chosen = selection_;
    std::erase_if(items_, [&chosen](const FileItemPtr& item) {
        return std::find(chosen.begin(), chosen.end(), item) != chosen.end();
    });
    // A removed folder with nothing left below it goes from the tree and the list too.
    buildTree();
    showFolder(shownFolder_);
}

void ActionBrowseDlg::updateControls() {
    remove_->setEnabled(!selection_.empty());
    up_->setEnabled(shownFolder_.size() > top_.size() && shownFolder_.starts_with(top_));
    if (selection_.size() == 1 && selection_.front()->kind == kFolder)
        directory_->setText(widgets::fromPath(selection_.front()->displayPath()));
    else if (!shownFolder_.empty())
        directory_->setText(widgets::fromPath(shownFolder_));
}

void ActionBrowseDlg::accept() {
    currentFolder_ = shownFolder_;
    if (selection_.size() == 1 && selection_.front()->kind == kFolder)
        currentFolder_ = selection_.front()->displayPath();
    callerItems_ = items_;
    QDialog::accept();
}

} // namespace velmora::views
