#include "desktop/PasswordDlg.h"

#include "widgets/Text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::desktop {

PasswordDlg::PasswordDlg(Kind kind, const QString& where, const QString& user, bool canRemember,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("passwordDialog"));
    setWindowTitle(widgets::kProgramName);

    auto* intro = new QLabel(kind == Kind::Password ? QStringLiteral("Log in to %1 over SFTP.").arg(where)
                                                    : QStringLiteral("Log in to the share %1.").arg(where),
                             this);
    intro->setObjectName(QStringLiteral("introLabel"));
    intro->setTextFormat(Qt::PlainText);

    auto* fields = new QFormLayout;
    if (kind == Kind::UserAndPassword) {
        user_ = new QLineEdit(user, this);
        user_->setObjectName(QStringLiteral("userBox"));
        user_->setAccessibleName(QStringLiteral("User name"));
        user_->setPlaceholderText(QStringLiteral("DOMAIN\\user or user"));
        auto* userLabel = new QLabel(QStringLiteral("&User name:"), this);
        userLabel->setBuddy(user_);
        fields->addRow(userLabel, user_);
    }
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("passwordBox"));
    password_->setAccessibleName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    // Neither offered to an input method nor kept by one.
    password_->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    auto* passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    passwordLabel->setBuddy(password_);
    fields->addRow(passwordLabel, password_);
    // Wide enough for a long user name or password without scrolling at once.
    password_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);

    remember_ = new QCheckBox(QStringLiteral("&Remember password in the keyring"), this);
    remember_->setObjectName(QStringLiteral("rememberBox"));
    remember_->setAccessibleName(QStringLiteral("Remember password in the keyring"));
    remember_->setEnabled(canRemember);
    remember_->setToolTip(canRemember ? QStringLiteral("Keeps the password in the desktop keyring, so that "
                                                       "the next run logs in without asking")
                                      : QStringLiteral("No keyring answers on this desktop: the password "
                                                       "cannot be remembered"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (user_ != nullptr) {
        // A share is logged in to as someone: no user name, no OK.
        auto refresh = [this] { ok_->setEnabled(!user_->text().trimmed().isEmpty()); };
        connect(user_, &QLineEdit::textChanged, this, refresh);
        refresh();
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fields);
    layout->addWidget(remember_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The field to type into first: the user name only while there is none.
    if (user_ != nullptr)
        setTabOrder(user_, password_);
    setTabOrder(password_, remember_);
    if (user_ != nullptr && user_->text().isEmpty())
        user_->setFocus();
    else
        password_->setFocus();
}

QString PasswordDlg::user() const {
    return user_ != nullptr ? user_->text().trimmed() : QString();
}

QString PasswordDlg::password() const {
    return password_->text();
}

bool PasswordDlg::remember() const {
    return remember_->isEnabled() && remember_->isChecked();
}

} // namespace velmora::desktop
