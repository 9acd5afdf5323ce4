#pragma once

#include <QMenu>

namespace velmora::browse {

// The right-click menu of the folder tree and the file list: the same entries in the same order
// in both panes, "Show hidden" checked while hidden entries are shown.
struct BrowseMenu {
    BrowseMenu(QWidget* parent, bool showHidden);

    QMenu menu;
    QAction* open;
    QAction* rename;
    QAction* remove;
    QAction* properties;
    QAction* hidden;
};

} // namespace velmora::browse
