#pragma once

#include <QDialog>

namespace velmora::desktop {

// The main window: the current profile or batch file, the two locations, the options, the two
// synchronise buttons and the progress of a run.
class MainWindow : public QDialog {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace velmora::desktop
