#pragma once

#include <QIcon>

namespace velmora {
struct FileItem;
}

namespace velmora::browse {

// The picture of a list row or tree folder: kind only, or kind with its action state and failure.
QIcon itemIcon(const FileItem& item, bool showActions);
QIcon folderIcon();

// Places of the folder tree, from the icon theme with the style's picture as fallback.
enum class Place { Computer, Network, Root, Home, Drive, Removable, Server, Share };
QIcon placeIcon(Place place);

// A folder picture with the share mark in its corner.
QIcon sharedFolderIcon();

} // namespace velmora::browse
