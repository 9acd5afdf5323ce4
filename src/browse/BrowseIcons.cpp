#include "browse/BrowseIcons.h"

#include "app/BrowseRules.h"
#include "items/FileItem.h"

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

// Until the shared action pictures are in, the kind's picture with a painted mark of the state.
QIcon markedIcon(const QIcon& base, std::int32_t state, bool failed) {
    QIcon result;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap = base.pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal mark = size * 0.55;
        const QRectF corner(size - mark, size - mark, mark, mark);
        const QColor colours[] = {Qt::transparent, QColor(120, 120, 120), QColor(230, 140, 0),
                                  QColor(30, 160, 60), QColor(200, 30, 30)};
        const int index = state / 2;
        if (index > 0 && index < 5) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colours[index]);
            painter.drawEllipse(corner);
            painter.setPen(QPen(Qt::white, size / 10.0, Qt::SolidLine, Qt::RoundCap));
            const QPointF c = corner.center();
            const qreal r = mark * 0.28;
            if (state == kExcluded || state == kDelete) {
                painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
                painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
            } else if (state == kAdd) {
                painter.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
                painter.drawLine(c + QPointF(0, -r), c + QPointF(0, r));
            } else {
                painter.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
                painter.drawLine(c + QPointF(r * 0.2, -r * 0.8), c + QPointF(r, 0));
                painter.drawLine(c + QPointF(r * 0.2, r * 0.8), c + QPointF(r, 0));
            }
        }
        if (failed) {
            const QRectF badge(0, 0, mark, mark);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(200, 30, 30));
            painter.drawRect(badge);
            painter.setPen(QPen(Qt::white, size / 10.0));
            painter.drawLine(badge.center() + QPointF(0, -mark * 0.3),
                             badge.center() + QPointF(0, mark * 0.1));
            painter.drawPoint(badge.center() + QPointF(0, mark * 0.3));
        }
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace

QIcon itemIcon(const FileItem& item, bool showActions) {
    static QFileIconProvider provider;
    static const QIcon folder = provider.icon(QFileIconProvider::Folder);
    static const QIcon file = provider.icon(QFileIconProvider::File);
    if (iconIndex(item, showActions) < 0)
        return {};
    const std::int32_t state = showActions ? item.state : kPlain;
    const bool failed = showActions && item.failed;
    // One picture per kind, state and failure, made once.
    static std::map<int, QIcon> made;
    QIcon& icon = made[item.kind * 100 + state * 2 + (failed ? 1 : 0)];
    if (icon.isNull())
        icon = state == kPlain && !failed ? (item.kind == kFolder ? folder : file)
                                          : markedIcon(item.kind == kFolder ? folder : file, state, failed);
    return icon;
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
