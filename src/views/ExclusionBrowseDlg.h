#pragma once

#include "items/ExclusionSet.h"

#include <QDialog>
#include <QTimer>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::browse {
class BrowseEnvironment;
class BrowseList;
class FolderTree;
} // namespace velmora::browse

namespace velmora::views {

// "Browse Files" for exclusions: the folder tree on the left, the folder's files and folders on
// the right, where the selected entries are added to or removed from the explicit exclusions.
// Excluded entries carry the excluded icon (also those a wildcard covers). Works on copies of the
// lists: OK adds what is still selected and hands the lists back; Cancel leaves the set alone
// (folders created or entries deleted on disk stay so).
class ExclusionBrowseDlg : public QDialog {
    Q_OBJECT

public:
    // Without a set the dialog is a plain browser: no Add, Remove or help text.
    ExclusionBrowseDlg(browse::BrowseEnvironment& environment, const std::string& startFolder,
                       ExclusionSet* set, bool showTooltips, QWidget* parent = nullptr);
    ~ExclusionBrowseDlg() override;

    // Where the browse ended: the list's folder, or the parent of the one folder selected at OK.
    const std::string& currentFolder() const { return currentFolder_; }
    const ExclusionSet& working() const { return working_; }
    browse::BrowseList* list() const { return list_; }
    browse::FolderTree* tree() const { return tree_; }

    void fill();
    void addSelected();
    void removeSelected();
    void accept() override;

private:
    void markEntries();
    void updateControls();

    browse::BrowseEnvironment& environment_;
    ExclusionSet* set_;
    ExclusionSet working_;
    std::string currentFolder_;
    std::vector<FileItemPtr> selection_;
    QLineEdit* directory_;
    browse::FolderTree* tree_;
    browse::BrowseList* list_;
    QLabel* status_;
    QLabel* exclusionsLabel_;
    QPushButton* up_;
    QPushButton* delete_;
    QPushButton* add_;
    QPushButton* remove_;
    QTimer fillTimer_;
    bool following_ = false;
};

} // namespace velmora::views
