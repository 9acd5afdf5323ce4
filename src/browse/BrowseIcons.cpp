#include "browse/BrowseIcons.h"

#include "app/BrowseRules.h"
#include "items/FileItem.h"
#include "widgets/ActionIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QPainter>
#include <QStyle>
#include <map>

namespace velmora::browse {
namespace {

QIcon themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

QIcon itemIcon(const FileItem& item, bool showActions) {
    static QFileIconProvider provider;
    static const QIcon folder = provider.icon(QFileIconProvider::Folder);
    static const QIcon file = provider.icon(QFileIconProvider::File);
    if (iconIndex(item, showActions) < 0)
        return {};
    // Lists of planned or done actions show the program's own pictures, the same as the check-list
    // and the legend; plain browsing shows the desktop's.
    if (showActions)
        return widgets::actionIcon(item.kind, item.state, item.failed);
    return item.kind == kFolder ? folder : file;
}

QIcon folderIcon() {
    FileItem folder;
    folder.kind = kFolder;
    return itemIcon(folder, false);
}

QIcon placeIcon(Place place) {
    switch (place) {
    case Place::Computer:
        return themed("computer", QStyle::SP_ComputerIcon);
    case Place::Network:
        return themed("network-workgroup", QStyle::SP_DriveNetIcon);
    case Place::Root:
    case Place::Drive:
        return themed("drive-harddisk", QStyle::SP_DriveHDIcon);
    case Place::Home:
        return themed("user-home", QStyle::SP_DirHomeIcon);
    case Place::Removable:
        return themed("drive-removable-media", QStyle::SP_DriveFDIcon);
    case Place::Server:
        return themed("network-server", QStyle::SP_DriveNetIcon);
    case Place::Share:
        return themed("folder-remote", QStyle::SP_DirLinkIcon);
    }
    return {};
}

QIcon sharedFolderIcon() {
    static const QIcon icon = [] {
        QIcon result;
        const QIcon base = folderIcon();
        const QIcon mark = QIcon::fromTheme(QStringLiteral("emblem-shared"),
                                            QApplication::style()->standardIcon(QStyle::SP_DirLinkIcon));
        for (int size : {16, 22, 32, 48}) {
            QPixmap pixmap = base.pixmap(size, size);
            QPainter painter(&pixmap);
            const int markSize = size / 2;
            painter.drawPixmap(0, size - markSize, mark.pixmap(markSize, markSize));
            painter.end();
            result.addPixmap(pixmap);
        }
        return result;
    }();
    return icon;
}

} // namespace velmora::browse
