#pragma once

#include <QDialog>
#include <QUrl>

namespace velmora::desktop {

// The program's name, icon and version, and the way to the download page.
class AboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* parent = nullptr);

    // Where "Check Now!" leads: the page with the latest version.
    static QUrl downloadPage();
};

} // namespace velmora::desktop
