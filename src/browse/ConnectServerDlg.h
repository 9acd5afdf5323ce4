#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;

namespace velmora::browse {

// "Connect to Server": one address (sftp://user@host:port, smb://server or \\server), checked
// before the dialog closes; a refused address says why under the field and keeps what was typed.
class ConnectServerDlg : public QDialog {
    Q_OBJECT

public:
    explicit ConnectServerDlg(QWidget* parent = nullptr);

    // The location to open, tidied: "sftp://ann@backup/~/", "smb://nas/".
    const std::string& location() const { return location_; }
    void accept() override;

private:
    QLineEdit* address_;
    QLabel* problem_;
    std::string location_;
};

} // namespace velmora::browse
