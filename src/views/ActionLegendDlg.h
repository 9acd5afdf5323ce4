#pragma once

#include <QDialog>

namespace velmora::views {

// "Action Legend": what each icon of the planned-actions browser means.
class ActionLegendDlg : public QDialog {
    Q_OBJECT

public:
    explicit ActionLegendDlg(QWidget* parent = nullptr);
};

} // namespace velmora::views
