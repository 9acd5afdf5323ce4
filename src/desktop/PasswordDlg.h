#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmora::desktop {

// Asks the password of a remote login (and the user name, for a share), masked, with the choice
// to keep it in the desktop keyring. The password is only handed to the caller: never shown,
// logged or stored by the dialog.
class PasswordDlg : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Password, UserAndPassword };

    // `where` names what is logged in to ("ann@backup", "nas/share"); `user` fills the user name
    // of a share (DOMAIN\user allowed). Without a keyring Remember cannot be ticked.
    PasswordDlg(Kind kind, const QString& where, const QString& user, bool canRemember,
                QWidget* parent = nullptr);

    QString user() const;
    QString password() const;
    bool remember() const;

private:
    QLineEdit* user_ = nullptr;
    QLineEdit* password_;
    QCheckBox* remember_;
    QPushButton* ok_;
};

} // namespace velmora::desktop
