#include "views/WildcardEntryDlg.h"

#include "browse/FolderDlg.h"
#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::views {

WildcardEntryDlg::WildcardEntryDlg(browse::BrowseEnvironment& environment, std::string& browseFolder, bool,
                                   QWidget* parent)
    : QDialog(parent), environment_(environment), browseFolder_(browseFolder), folder_(browseFolder),
      field_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Wildcard entry"));
    setObjectName(QStringLiteral("wildcardEntryDialog"));
    auto* layout = new QGridLayout(this);
    auto* prompt =
        new QLabel(QStringLiteral("&Enter wildard or browse for folder and add wildcard to the end."), this);
    prompt->setBuddy(field_);
    field_->setObjectName(QStringLiteral("wildcard"));
    field_->setAccessibleName(QStringLiteral("Wildcard"));
    field_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto* browse = new QPushButton(QStringLiteral("&Browse Folders"), this);
    browse->setObjectName(QStringLiteral("browseFolders"));
    browse->setAutoDefault(false);
    auto* help =
        new QLabel(QStringLiteral("Wildcards of the form *.ext (with no path) will be excluded in all "
                                  "folders.\nWildcards of the form /path/*.ext will be excluded only in "
                                  "the specified folder."),
                   this);
    help->setObjectName(QStringLiteral("help"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(prompt, 0, 0, 1, 2);
    layout->addWidget(field_, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->addWidget(help, 2, 0, 1, 2);
    layout->addWidget(buttons, 3, 0, 1, 2);
    connect(browse, &QPushButton::clicked, this, &WildcardEntryDlg::browseFolders);
    connect(buttons, &QDialogButtonBox::accepted, this, &WildcardEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::string WildcardEntryDlg::text() const {
    return widgets::toPath(field_->text());
}

void WildcardEntryDlg::browseFolders() {
    browse::FolderDlg dialog(environment_, QStringLiteral("Select Folder"), folder_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    folder_ = dialog.path();
    field_->setText(widgets::fromPath(folder_));
    field_->setFocus();
    field_->deselect();
    field_->end(false);
}

void WildcardEntryDlg::accept() {
    browseFolder_ = folder_;
    QDialog::accept();
}

} // namespace velmora::views
