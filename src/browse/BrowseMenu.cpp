#include "browse/BrowseMenu.h"

namespace velmora::browse {

BrowseMenu::BrowseMenu(QWidget* parent, bool showHidden)
    : menu(parent), open(menu.addAction(QStringLiteral("&Open"))),
      rename(menu.addAction(QStringLiteral("&Rename"))), remove(menu.addAction(QStringLiteral("&Delete"))),
      properties(menu.addAction(QStringLiteral("&Properties"))), hidden(nullptr) {
    menu.addSeparator();
    hidden = menu.addAction(QStringLiteral("Show &hidden"));
    hidden->setCheckable(true);
    hidden->setChecked(showHidden);
}

} // namespace velmora::browse
