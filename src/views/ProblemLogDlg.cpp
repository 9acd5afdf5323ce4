#include "views/ProblemLogDlg.h"

#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::views {

ProblemLogDlg::ProblemLogDlg(const std::vector<std::string>& problems, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("problemLogDialog"));
    setWindowTitle(QStringLiteral("Problem Log"));
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("problemList"));
    list->setAccessibleName(QStringLiteral("Problem Log"));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setMinimumSize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 14);
    for (const std::string& line : problems)
        list->addItem(widgets::fromPath(line));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
}

} // namespace velmora::views
