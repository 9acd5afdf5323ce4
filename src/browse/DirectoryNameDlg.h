#pragma once

#include <QDialog>

class QLineEdit;

namespace velmora::browse {

// "Directory Name": one field for the name of a folder to create.
class DirectoryNameDlg : public QDialog {
    Q_OBJECT

public:
    explicit DirectoryNameDlg(QWidget* parent = nullptr);
    QString name() const;
    QLineEdit* field() const { return field_; }

private:
    QLineEdit* field_;
};

} // namespace velmora::browse
