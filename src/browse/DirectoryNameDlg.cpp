#include "browse/DirectoryNameDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora::browse {

DirectoryNameDlg::DirectoryNameDlg(QWidget* parent) : QDialog(parent), field_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Directory Name"));
    setObjectName(QStringLiteral("directoryNameDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Enter directory name:"), this);
    label->setBuddy(field_);
    field_->setObjectName(QStringLiteral("directoryName"));
    field_->setAccessibleName(QStringLiteral("Directory name"));
    field_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

QString DirectoryNameDlg::name() const {
    return field_->text();
}

} // namespace velmora::browse
