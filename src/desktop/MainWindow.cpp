#include "desktop/MainWindow.h"

#include "widgets/Text.h"

namespace velmora::desktop {

MainWindow::MainWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(widgets::kProgramName);
}

} // namespace velmora::desktop
