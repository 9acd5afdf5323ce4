#pragma once

#include "app/ConfigurationModel.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace velmora::desktop {

// The program-wide settings: date format, tooltips, command timeout, button style, the
// required time difference and how many file commands run at once. OK leaves only when the model accepts
// every field; the caller then applies the model. "About" opens the About box.
class ConfigurationDlg : public QDialog {
    Q_OBJECT

public:
    explicit ConfigurationDlg(ConfigurationModel& model, QWidget* parent = nullptr);

    void accept() override;

private:
    ConfigurationModel& model_;
    QRadioButton* ddmmyyRadio_ = nullptr;
    QCheckBox* showTooltipsBox_ = nullptr;
    QLineEdit* commandTimeoutBox_ = nullptr;
    QRadioButton* noTextButtonsRadio_ = nullptr;
    QLineEdit* timeDifferenceBox_ = nullptr;
    QLineEdit* parallelCommandsBox_ = nullptr;
};

} // namespace velmora::desktop
