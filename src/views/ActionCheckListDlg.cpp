#include "views/ActionCheckListDlg.h"

#include "views/ActionBrowseDlg.h"
#include "widgets/ActionIcons.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::views {

namespace {

struct CategoryLook {
    const char* objectName;
    ItemKind kind;
    ItemState state;
};

constexpr std::array<CategoryLook, kActionCategories> kCategories{{
    {"overwriteFilesButton", kFile, kOverwrite},
    {"addFilesButton", kFile, kAdd},
    {"deleteFilesButton", kFile, kDelete},
    {"addFoldersButton", kFolder, kAdd},
    {"deleteFoldersButton", kFolder, kDelete},
}};

const widgets::TooltipTable kTooltips{
    {"overwriteFilesButton", "Display list of files [to be] overwritten"},
    {"addFilesButton", "Display list of files [to be] added"},
    {"deleteFilesButton", "Display list of files [to be] deleted"},
    {"addFoldersButton", "Display list of folders [to be] added"},
    {"deleteFoldersButton", "Display list of folders [to be] deleted"},
    {"actionList", "List of files in the selected category"},
    {"removeItemButton", "Remove selected file/folder(s) from synchronisation list"},
    {"browseAllButton", "Display all synchronisation files/folders in Explorer style"},
};

} // namespace

ActionCheckListDlg::ActionCheckListDlg(ActionListsModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("actionCheckListDialog"));
    setWindowTitle(widgets::fromText(model_.windowTitle()));

    auto* categories = new QVBoxLayout;
    for (std::size_t i = 0; i < kActionCategories; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(kCategories[i].objectName));
        button->setIcon(widgets::actionIcon(kCategories[i].kind, kCategories[i].state, false));
        button->setCheckable(true);
        button->setAutoExclusive(true);
        const auto category = static_cast<ActionCategory>(i);
        connect(button, &QPushButton::clicked, this, [this, category] { selectCategory(category); });
        categories->addWidget(button);
        categoryButtons_[i] = button;
    }
    categories->addStretch();

    captionLabel_ = new QLabel(this);
    captionLabel_->setObjectName(QStringLiteral("captionLabel"));
    QFont bold = captionLabel_->font();
    bold.setBold(true);
    captionLabel_->setFont(bold);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("actionList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setUniformItemSizes(true);
    list_->setMinimumSize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 16);
    captionLabel_->setBuddy(list_);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        std::set<std::size_t> selected;
        for (const QModelIndex& index : list_->selectionModel()->selectedRows())
            selected.insert(static_cast<std::size_t>(index.row()));
        model_.select(std::move(selected));
        removeItemButton_->setEnabled(model_.canRemoveItem());
    });

    auto* shown = new QVBoxLayout;
    shown->addWidget(captionLabel_);
    shown->addWidget(list_, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(categories);
    top->addLayout(shown, 1);

    removeItemButton_ = new QPushButton(QStringLiteral("&Remove Item"), this);
    removeItemButton_->setObjectName(QStringLiteral("removeItemButton"));
    removeItemButton_->setVisible(model_.showsRemoveItem());
    removeItemButton_->setEnabled(false);
    connect(removeItemButton_, &QPushButton::clicked, this, [this] { removeItem(); });
    browseAllButton_ = new QPushButton(QStringLiteral("&Browse All"), this);
    browseAllButton_->setObjectName(QStringLiteral("browseAllButton"));
    connect(browseAllButton_, &QPushButton::clicked, this, &ActionCheckListDlg::browseAll);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    buttons->button(QDialogButtonBox::Cancel)->setVisible(model_.showsCancel());
    connect(buttons, &QDialogButtonBox::accepted, this, &ActionCheckListDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ActionCheckListDlg::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(removeItemButton_);
    bottom->addWidget(browseAllButton_);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    widgets::applyTooltips(this, kTooltips);
    refreshButtonTexts();
    selectCategory(ActionCategory::OverwriteFiles);
}

void ActionCheckListDlg::refresh() {
    refreshButtonTexts();
    refillList();
}

void ActionCheckListDlg::selectCategory(ActionCategory category) {
    model_.selectCategory(category);
    for (std::size_t i = 0; i < kActionCategories; ++i)
        categoryButtons_[i]->setEnabled(model_.categoryEnabled(static_cast<ActionCategory>(i)));
    categoryButtons_[static_cast<std::size_t>(category)]->setChecked(true);
    captionLabel_->setText(widgets::fromText(model_.caption()));
    refillList();
}

void ActionCheckListDlg::refreshButtonTexts() {
    for (std::size_t i = 0; i < kActionCategories; ++i)
        categoryButtons_[i]->setText(widgets::fromText(model_.buttonText(static_cast<ActionCategory>(i))));
}

void ActionCheckListDlg::refillList() {
    const CategoryLook& look = kCategories[static_cast<std::size_t>(model_.category())];
    const QIcon icon = widgets::actionIcon(look.kind, look.state, false);
    list_->clear();
    for (const std::string& line : model_.lines())
        new QListWidgetItem(icon, widgets::fromPath(line), list_);
    removeItemButton_->setEnabled(model_.canRemoveItem());
}

void ActionCheckListDlg::browseAll() {
    std::vector<FileItemPtr> items = model_.browseItems();
    ActionBrowseDlg browser(items, model_.browseStartFolder(), model_.showsRemoveItem(),
                            widgets::tooltipsShown(), this);
    if (browser.exec() == QDialog::Accepted) {
        model_.keepBrowsed(items, browser.currentFolder());
        refreshButtonTexts();
    }
    refillList();
}

void ActionCheckListDlg::removeItem() {
    model_.removeItem();
    refillList();
    refreshButtonTexts();
}

void ActionCheckListDlg::accept() {
    if (const std::optional<std::string> question = model_.deleteQuestion())
        if (!widgets::askQuestion(this, widgets::fromText(*question)))
            return;
    QDialog::accept();
}

} // namespace velmora::views
