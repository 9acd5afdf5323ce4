#pragma once

#include "app/BatchList.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace velmora {
class AppController;
}

namespace velmora::desktop {

// The batch list: the profiles a batch runs, in order. Add Files checks each chosen profile
// through the controller; OK leaves the edited list in the model for the controller to take.
class BatchDlg : public QDialog {
    Q_OBJECT

public:
    BatchDlg(BatchList& model, AppController& controller, QWidget* parent = nullptr);

private:
    void refill();
    void refreshButtons();
    void addFiles();

    BatchList& model_;
    AppController& controller_;
    QListWidget* list_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* moveUpButton_ = nullptr;
    QPushButton* moveDownButton_ = nullptr;
};

} // namespace velmora::desktop
