#include "views/ExclusionBrowseDlg.h"

#include "browse/BrowseEnvironment.h"
#include "browse/BrowseList.h"
#include "browse/FolderTree.h"
#include "browse/ViewStyleCombo.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace velmora::views {
namespace {

const widgets::TooltipTable kTooltips{{"remove", "Remove selected items from the exclusion list"},
                                      {"up", "Go up one level in the directory hierarchy"},
                                      {"currentDirectory", "Displays the current selected folder"},
                                      {"add", "Add selected items to the exclusion list"},
                                      {"createDir", "Create a new directory"},
                                      {"delete", "Delete the file or folder"},
                                      {"viewCombo", "Change view style of right pane"}};

QPushButton* button(const char* text, const char* name, QWidget* parent) {
    auto* result = new QPushButton(QString::fromLatin1(text), parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

bool isDotEntry(const FileItem& item) {
    return item.name == "." || item.name == "..";
}

} // namespace

ExclusionBrowseDlg::ExclusionBrowseDlg(browse::BrowseEnvironment& environment, const std::string& startFolder,
                                       ExclusionSet* set, bool showTooltips, QWidget* parent)
    : QDialog(parent), environment_(environment), set_(set), currentFolder_(startFolder),
      directory_(new QLineEdit(this)), tree_(new browse::FolderTree(environment, this)),
      list_(new browse::BrowseList(environment, selection_, true, this)), status_(new QLabel(this)),
      exclusionsLabel_(new QLabel(QStringLiteral("Exclusions"), this)), up_(button("&Up", "up", this)),
      delete_(button("De&lete", "delete", this)), add_(button("&Add", "add", this)),
      remove_(button("&Remove", "remove", this)) {
    if (set_)
        working_ = *set_;
    setWindowTitle(QStringLiteral("Browse Files"));
    setObjectName(QStringLiteral("exclusionBrowseDialog"));
    setSizeGripEnabled(true);

    auto* layout = new QGridLayout(this);
    auto* directoryLabel = new QLabel(QStringLiteral("Current &Directory:"), this);
    directoryLabel->setBuddy(directory_);
    directory_->setObjectName(QStringLiteral("currentDirectory"));
    directory_->setAccessibleName(QStringLiteral("Current Directory"));
    directory_->setReadOnly(true);
    auto* top = new QHBoxLayout();
    top->addWidget(directoryLabel);
    top->addWidget(directory_, 1);
    top->addWidget(up_);
    top->addWidget(browse::makeViewStyleCombo(list_, this));
    layout->addLayout(top, 0, 0);

    tree_->setObjectName(QStringLiteral("folderTree"));
    list_->setObjectName(QStringLiteral("fileList"));
    auto* splitter = new QSplitter(this);
    splitter->addWidget(tree_);
    splitter->addWidget(list_);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({fontMetrics().averageCharWidth() * 45, fontMetrics().averageCharWidth() * 70});
    layout->addWidget(splitter, 1, 0);
    auto* help = new QLabel(
        QStringLiteral("Select files and/or folders in the RIGHT pane and then click Add or Remove."), this);
    help->setObjectName(QStringLiteral("help"));
    help->setWordWrap(true);
    layout->addWidget(help, 2, 0);
    status_->setObjectName(QStringLiteral("status"));
    layout->addWidget(status_, 3, 0);

    auto* side = new QVBoxLayout();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    side->addWidget(ok);
    side->addWidget(button("Cancel", "cancel", this));
    side->addSpacing(fontMetrics().height());
    QPushButton* createDir = button("Create &Dir", "createDir", this);
    side->addWidget(createDir);
    side->addWidget(delete_);
    side->addSpacing(fontMetrics().height());
    exclusionsLabel_->setObjectName(QStringLiteral("exclusionsLabel"));
    exclusionsLabel_->setAlignment(Qt::AlignCenter);
    side->addWidget(exclusionsLabel_);
    side->addWidget(add_);
    side->addWidget(remove_);
    side->addStretch(1);
    layout->addLayout(side, 0, 1, 4, 1);
    layout->setRowStretch(1, 1);
    resize(fontMetrics().averageCharWidth() * 135, fontMetrics().height() * 32);

    if (!set_)
        for (QWidget* hidden : {static_cast<QWidget*>(exclusionsLabel_), static_cast<QWidget*>(add_),
                                static_cast<QWidget*>(remove_), static_cast<QWidget*>(help)})
            hidden->hide();
    widgets::applyTooltips(this, kTooltips, showTooltips);

    connect(ok, &QPushButton::clicked, this, &ExclusionBrowseDlg::accept);
    connect(findChild<QPushButton*>(QStringLiteral("cancel")), &QPushButton::clicked, this, &QDialog::reject);
    connect(up_, &QPushButton::clicked, list_, &browse::BrowseList::upOneFolder);
    connect(add_, &QPushButton::clicked, this, &ExclusionBrowseDlg::addSelected);
    connect(remove_, &QPushButton::clicked, this, &ExclusionBrowseDlg::removeSelected);
    connect(createDir, &QPushButton::clicked, this, [this] {
        if (list_->createFolder())
            tree_->reload();
    });
    connect(delete_, &QPushButton::clicked, list_, &browse::BrowseList::deleteSelectedItems);
    connect(list_, &browse::BrowseList::entriesDeleted, tree_, &browse::FolderTree::reload);
    connect(tree_, &browse::FolderTree::selectedPathChanged, this, [this] {
        if (following_)
            return;
        const std::string path = tree_->selectedPath();
        if (path.empty())
            return;
        list_->showFolder(path);
        updateControls();
    });
    connect(tree_, &browse::FolderTree::folderRenamed, list_, &browse::BrowseList::followRename);
    connect(tree_, &browse::FolderTree::foldersChanged, list_, &browse::BrowseList::reload);
    connect(list_, &browse::FileListView::listChanged, this, &ExclusionBrowseDlg::markEntries);
    connect(list_, &browse::FileListView::selectionChanged, this, &ExclusionBrowseDlg::updateControls);
    connect(list_, &browse::FileListView::folderChanged, this, [this] {
        updateControls();
        const std::string folder = list_->folderPath();
        std::string selected = tree_->selectedPath();
        if (selected.empty() || selected.back() != '/')
            selected += '/';
        if (selected != folder) {
            following_ = true;
            tree_->selectPath(folder, false);
            following_ = false;
        }
    });
    connect(list_, &browse::FileListView::statusMessage, this, [this](const QString& text) {
        status_->setText(text);
        status_->repaint();
    });
    connect(list_, &browse::FileListView::entryRenamed, tree_, &browse::FolderTree::reload);
    connect(list_, &browse::BrowseList::showHiddenChanged, tree_, &browse::FolderTree::reload);
    connect(tree_, &browse::FolderTree::showHiddenChanged, list_, &browse::BrowseList::reload);

    fillTimer_.setSingleShot(true);
    fillTimer_.setInterval(50);
    connect(&fillTimer_, &QTimer::timeout, this, &ExclusionBrowseDlg::fill);
    fillTimer_.start();
    updateControls();
}

ExclusionBrowseDlg::~ExclusionBrowseDlg() = default;

void ExclusionBrowseDlg::fill() {
    fillTimer_.stop();
    if (currentFolder_.empty())
        currentFolder_ = "/";
    following_ = true;
    tree_->applyOptions(browse::FolderTree::AllowRename | browse::FolderTree::AllowProperties |
                        browse::FolderTree::AllowDelete | browse::FolderTree::EnterExpands);
    tree_->reload();
    tree_->selectPath(currentFolder_, false);
    following_ = false;
    currentFolder_ = tree_->selectedPath();
    if (currentFolder_.empty() || currentFolder_.back() != '/')
        currentFolder_ += '/';
    list_->showFolder(currentFolder_);
    updateControls();
}

void ExclusionBrowseDlg::markEntries() {
    for (const FileItemPtr& item : list_->items())
        item->state = working_.isExcluded(*item) ? kExcluded : kPlain;
    list_->refreshIcons();
}

void ExclusionBrowseDlg::updateControls() {
    const bool any = !selection_.empty();
    for (QWidget* control : {static_cast<QWidget*>(delete_), static_cast<QWidget*>(exclusionsLabel_),
                             static_cast<QWidget*>(add_), static_cast<QWidget*>(remove_)})
        control->setEnabled(any);
    up_->setEnabled(list_->canGoUp());
    if (selection_.size() == 1 && selection_.front()->kind == kFolder)
        directory_->setText(widgets::fromPath(selection_.front()->displayPath()));
    else
        directory_->setText(widgets::fromPath(list_->folderPath()));
}

void ExclusionBrowseDlg::addSelected() {
    if (!set_)
        return;
    for (const FileItemPtr& item : selection_) {
        if (isDotEntry(*item))
            continue;
        auto entry = std::make_shared<FileItem>(*item);
        entry->state = kPlain;
        working_.addExplicit(entry);
    }
    working_.finish();
    markEntries();
}

void ExclusionBrowseDlg::removeSelected() {
    if (!set_)
        return;
    for (const FileItemPtr& item : selection_)
        working_.removeExplicit(*item);
    markEntries();
}

void ExclusionBrowseDlg::accept() {
    addSelected();
    if (set_)
        *set_ = working_;
    std::vector<FileItemPtr> chosen = selection_;
    if (!chosen.empty() && isDotEntry(*chosen.front()))
        chosen.erase(chosen.begin());
    currentFolder_ = list_->folderPath();
    if (chosen.size() == 1 && chosen.front()->kind == kFolder)
        currentFolder_ = chosen.front()->folder;
    QDialog::accept();
}

} // namespace velmora::views
