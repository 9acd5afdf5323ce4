#pragma once

#include "items/FileItem.h"

#include <QDialog>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora::views {

class ActionItemList;

// "Browse Files" over planned or finished actions: a tree of the folders of the items and a list
// of the selected folder's items with their action and failed icons. Works on its own copy of the
// items; OK hands the copy back (without what "Remove" took out) and the folder the view ended in.
class ActionBrowseDlg : public QDialog {
    Q_OBJECT

public:
    ActionBrowseDlg(std::vector<FileItemPtr>& items, const std::string& startFolder, bool removalAllowed,
                    bool showTooltips, QWidget* parent = nullptr);
    ~ActionBrowseDlg() override;

    // The folder the view had current at OK.
    const std::string& currentFolder() const { return currentFolder_; }
    void accept() override;

    // The folder whose items the list shows ("" before the first fill).
    const std::string& shownFolder() const { return shownFolder_; }
    void fill();
    void showFolder(const std::string& folder);
    void upOneLevel();
    void removeSelected();

private:
    QTreeWidgetItem* nodeFor(const std::string& folder);
    void buildTree();
    void updateControls();

    std::vector<FileItemPtr>& callerItems_;
    std::vector<FileItemPtr> items_;
    std::vector<FileItemPtr> selection_;
    std::string startFolder_, currentFolder_, shownFolder_, top_;
    bool removalAllowed_;
    std::map<std::string, QTreeWidgetItem*> nodes_;
    QLineEdit* directory_;
    QTreeWidget* tree_;
    ActionItemList* list_;
    QLabel* status_;
    QPushButton* up_;
    QPushButton* remove_;
    QTimer fillTimer_;
};

} // namespace velmora::views
