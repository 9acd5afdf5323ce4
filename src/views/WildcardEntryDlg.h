#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace velmora::browse {
class BrowseEnvironment;
}

namespace velmora::views {

// "Wildcard entry": one field for a wildcard, with "Browse Folders" to put a folder path in front
// of it. OK keeps the folder as the next browse's start.
class WildcardEntryDlg : public QDialog {
    Q_OBJECT

public:
    WildcardEntryDlg(browse::BrowseEnvironment& environment, std::string& browseFolder, bool showTooltips,
                     QWidget* parent = nullptr);

    std::string text() const;
    QLineEdit* field() const { return field_; }
    // "Browse Folders": the folder dialog at the dialog's folder; its choice goes into the field.
    void browseFolders();
    void accept() override;

private:
    browse::BrowseEnvironment& environment_;
    std::string& browseFolder_;
    std::string folder_;
    QLineEdit* field_;
};

} // namespace velmora::views
