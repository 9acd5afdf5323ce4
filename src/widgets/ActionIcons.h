#pragma once

#include "items/FileItem.h"

#include <QIcon>

namespace velmora::widgets {

// The pictures that the check-list, the results lists and the browsing controls share. Every icon
// is drawn from vector sources at the size and pixel ratio it is shown at, so it stays sharp at any
// display scale; pixel sizes below 32 use the pictures drawn on the 16-pixel grid.

// A file or folder (kind) in an action state (plain, excluded, overwrite, add, delete), with the
// mark of a failed action when failed is set. Unknown states show the plain picture.
QIcon actionIcon(ItemKind kind, ItemState state, bool failed);
QIcon actionIcon(const FileItem& item);

QIcon programIcon();

// The arrows of the synchronise buttons: small beside a caption, large (folder 1, arrow, folder 2;
// twice as wide as high) on a button without text.
enum class ArrowStyle { Small, Large };
QIcon directionIcon(bool oneToTwo, ArrowStyle style);

} // namespace velmora::widgets
