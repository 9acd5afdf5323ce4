#include "browse/ConnectServerDlg.h"

#include "app/RemotePlaces.h"
#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::browse {

ConnectServerDlg::ConnectServerDlg(QWidget* parent)
    : QDialog(parent), address_(new QLineEdit(this)), problem_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Connect to Server"));
    setObjectName(QStringLiteral("connectServerDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Server &address:"), this);
    label->setBuddy(address_);
    address_->setObjectName(QStringLiteral("serverAddress"));
    address_->setAccessibleName(QStringLiteral("Server address"));
    address_->setPlaceholderText(QStringLiteral("sftp://user@host or smb://server"));
    address_->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    auto* examples =
        new QLabel(QStringLiteral("For example sftp://ann@backup:2222, smb://nas or \\\\nas"), this);
    examples->setObjectName(QStringLiteral("addressExamples"));
    problem_->setObjectName(QStringLiteral("addressProblem"));
    problem_->setWordWrap(true);
    problem_->setVisible(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Connect"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectServerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(address_, &QLineEdit::textEdited, problem_, [this] { problem_->setVisible(false); });
    layout->addWidget(label);
    layout->addWidget(address_);
    layout->addWidget(examples);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

void ConnectServerDlg::accept() {
    const ConnectTarget target = connectTarget(widgets::toPath(address_->text()));
    if (!target.error.empty()) {
        problem_->setText(widgets::fromText(target.error));
        problem_->setVisible(true);
        address_->setFocus();
        return;
    }
    location_ = target.location;
    QDialog::accept();
}

} // namespace velmora::browse
