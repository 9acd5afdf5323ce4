#pragma once

#include "app/ActionListsModel.h"

#include <QDialog>
#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::views {

// The planned actions before execution (the user may remove entries; OK asks before deleting) or
// the detailed results after a run, by category. The model holds the lists; on OK the caller
// takes the pruned sets from it.
class ActionCheckListDlg : public QDialog {
    Q_OBJECT

public:
    explicit ActionCheckListDlg(ActionListsModel& model, QWidget* parent = nullptr);

    QPushButton* browseAllButton() const { return browseAllButton_; }
    // "Browse All": every entry in the explorer-style browser; what it removes leaves the lists.
    void browseAll();
    // Shows the model again after a change made outside the dialog (the action browser).
    void refresh();

    void accept() override;

private:
    void selectCategory(ActionCategory category);
    void refreshButtonTexts();
    void refillList();
    void removeItem();

    ActionListsModel& model_;
    std::array<QPushButton*, kActionCategories> categoryButtons_{};
    QLabel* captionLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* removeItemButton_ = nullptr;
    QPushButton* browseAllButton_ = nullptr;
};

} // namespace velmora::views
