#include "desktop/BatchDlg.h"

#include "app/AppController.h"
#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace velmora::desktop {

BatchDlg::BatchDlg(BatchList& model, AppController& controller, QWidget* parent)
    : QDialog(parent), model_(model), controller_(controller) {
    setObjectName(QStringLiteral("batchDialog"));
    setWindowTitle(QStringLiteral("Batch List"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("profileList"));
    list_->setAccessibleName(QStringLiteral("Batch List"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setMinimumSize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 12);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        std::set<std::size_t> selected;
        for (const QModelIndex& index : list_->selectionModel()->selectedRows())
            selected.insert(static_cast<std::size_t>(index.row()));
        model_.select(std::move(selected));
        refreshButtons();
    });

    auto button = [this](const char* caption, const char* name) {
        auto* made = new QPushButton(QString::fromLatin1(caption), this);
        made->setObjectName(QLatin1String(name));
        made->setAutoDefault(false);
        return made;
    };
    auto* addButton = button("&Add Files", "addFilesButton");
    removeButton_ = button("&Remove", "removeButton");
    moveUpButton_ = button("Move &Up", "moveUpButton");
    moveDownButton_ = button("Move &Down", "moveDownButton");
    connect(addButton, &QPushButton::clicked, this, [this] { addFiles(); });
    connect(removeButton_, &QPushButton::clicked, this, [this] {
        model_.remove();
        refill();
    });
    connect(moveUpButton_, &QPushButton::clicked, this, [this] {
        model_.moveUp();
        refill();
    });
    connect(moveDownButton_, &QPushButton::clicked, this, [this] {
        model_.moveDown();
        refill();
    });

    auto* side = new QVBoxLayout;
    for (QPushButton* control : {addButton, removeButton_, moveUpButton_, moveDownButton_})
        side->addWidget(control);
    side->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);

    refill();
}

void BatchDlg::refill() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const std::string& path : model_.entries())
        list_->addItem(widgets::fromPath(path));
    for (const std::size_t row : model_.selection())
        list_->item(static_cast<int>(row))->setSelected(true);
    if (!model_.selection().empty())
        list_->setCurrentRow(static_cast<int>(*model_.selection().begin()), QItemSelectionModel::NoUpdate);
    refreshButtons();
}

void BatchDlg::refreshButtons() {
    removeButton_->setEnabled(model_.canRemove());
    moveUpButton_->setEnabled(model_.canMoveUp());
    moveDownButton_->setEnabled(model_.canMoveDown());
}

void BatchDlg::addFiles() {
    controller_.addBatchFiles(model_);
    refill();
    list_->scrollToBottom();
}

} // namespace velmora::desktop
