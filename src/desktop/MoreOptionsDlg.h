#pragma once

#include "app/MoreOptionsModel.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {
class ErrorReporter;
}

namespace velmora::desktop {

// The profile settings without a box in the main window: automatic start, comparison, time
// adjustment, attribute copying and the run log. Works on the model; OK leaves the dialog only
// when the model accepts every field, and the caller then stores the model into the profile.
class MoreOptionsDlg : public QDialog {
    Q_OBJECT

public:
    MoreOptionsDlg(MoreOptionsModel& model, ErrorReporter& reporter, QWidget* parent = nullptr);

    void accept() override;

private:
    void readControls();
    void refreshEnabling();

    MoreOptionsModel& model_;
    ErrorReporter& reporter_;
    QCheckBox* autoStartBox_ = nullptr;
    QRadioButton* oneToTwoRadio_ = nullptr;
    QRadioButton* twoToOneRadio_ = nullptr;
    QCheckBox* hideOtherButtonBox_ = nullptr;
    QRadioButton* compareTimeRadio_ = nullptr;
    QRadioButton* compareSizeRadio_ = nullptr;
    QLineEdit* hoursBox_ = nullptr;
    QLineEdit* minutesBox_ = nullptr;
    QCheckBox* copyAttributesBox_ = nullptr;
    QCheckBox* logFileBox_ = nullptr;
    QLineEdit* logPathBox_ = nullptr;
    QPushButton* logBrowseButton_ = nullptr;
    QRadioButton* overwriteLogRadio_ = nullptr;
    QRadioButton* appendLogRadio_ = nullptr;
};

} // namespace velmora::desktop
