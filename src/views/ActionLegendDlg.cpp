#include "views/ActionLegendDlg.h"

#include "browse/BrowseIcons.h"
#include "items/FileItem.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace velmora::views {
namespace {

QLabel* iconLabel(ItemKind kind, ItemState state, bool failed, QWidget* parent) {
    FileItem item;
    item.kind = kind;
    item.state = state;
    item.failed = failed;
    auto* label = new QLabel(parent);
    const int size = parent->style()->pixelMetric(QStyle::PM_SmallIconSize);
    label->setPixmap(browse::itemIcon(item, true).pixmap(size, size));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

ActionLegendDlg::ActionLegendDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Action Legend"));
    setObjectName(QStringLiteral("actionLegendDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    layout->addLayout(grid);
    auto heading = [this, grid](const char* text, int row, int column, int span = 1) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, row, column, 1, span);
    };
    heading("File", 0, 1);
    heading("Folder", 0, 2);
    heading("Failed", 0, 3, 2);
    grid->addWidget(iconLabel(kFile, kPlain, false, this), 1, 1);
    grid->addWidget(iconLabel(kFolder, kPlain, false, this), 1, 2);
    const struct {
        const char* text;
        ItemState state;
        bool folders;
    } rows[] = {{"Overwrite", kOverwrite, false}, {"Add", kAdd, true}, {"Delete", kDelete, true}};
    int row = 2;
    for (const auto& action : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(action.text), this), row, 0);
        grid->addWidget(iconLabel(kFile, action.state, false, this), row, 1);
        grid->addWidget(iconLabel(kFile, action.state, true, this), row, 3);
        if (action.folders) {
            grid->addWidget(iconLabel(kFolder, action.state, false, this), row, 2);
            grid->addWidget(iconLabel(kFolder, action.state, true, this), row, 4);
        }
        ++row;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace velmora::views
