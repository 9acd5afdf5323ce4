#include "browse/BrowseIcons.h"

#include "app/BrowseRules.h"
#include "items/FileItem.h"
#include "widgets/ActionIcons.h"
#include "widgets/PaintedIconEngine.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>
#include <map>
#include <tuple>

namespace velmora::browse {
namespace {

QIcon themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

const char* badgeFor(std::int32_t state) {
    switch (state) {
    case kExcluded:
        return "badge-excluded";
    case kOverwrite:
        return "badge-overwrite";
    case kAdd:
        return "badge-add";
    case kDelete:
        return "badge-delete";
    default:
        return nullptr;
    }
}

// The desktop's folder or file picture with the program's marks over it: the action in the lower
// right corner, the failure mark in the lower left. Painted at whatever size and pixel ratio the
// view asks for, so the marks stay sharp at any scale.
class BadgedIconEngine : public widgets::PaintedIconEngine {
public:
    BadgedIconEngine(QIcon base, QStringList badges) : base_(std::move(base)), badges_(std::move(badges)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        base_.paint(painter, rect, Qt::AlignCenter, mode, state);
        const QSizeF half(rect.width() / 2.0, rect.height() / 2.0);
        const QPointF corners[] = {{rect.x() + half.width(), rect.y() + half.height()},
                                   {static_cast<qreal>(rect.x()), rect.y() + half.height()}};
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        for (qsizetype i = 0; i < badges_.size() && i < 2; ++i)
            if (!badges_[i].isEmpty())
                QSvgRenderer(badges_[i]).render(painter, QRectF(corners[i], half));
        painter->restore();
    }

    QIconEngine* clone() const override { return new BadgedIconEngine(base_, badges_); }

private:
    QIcon base_;
    QStringList badges_; // [0] the action mark, [1] the failure mark; empty for none
};

} // namespace

QIcon itemIcon(const FileItem& item, bool showActions) {
    static QFileIconProvider provider;
    static const QIcon folder = provider.icon(QFileIconProvider::Folder);
    static const QIcon file = provider.icon(QFileIconProvider::File);
    if (iconIndex(item, showActions) < 0)
        return {};
    const QIcon& base = item.kind == kFolder ? folder : file;
    if (!showActions)
        return base;
    // One picture set in the tree and the lists: the desktop's, with the program's marks of
    // action, exclusion and failure drawn over it (the legend explains the marks).
    const char* badge = badgeFor(item.state);
    if (!badge && !item.failed)
        return base;
    static std::map<std::tuple<bool, std::int32_t, bool>, QIcon> made;
    QIcon& icon = made[{item.kind == kFolder, item.state, item.failed}];
    if (icon.isNull()) {
        widgets::actionIcon(kFile, kPlain, false); // makes the program's pictures available
        auto resource = [](const char* name) {
            return name ? QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".svg")
                        : QString();
        };
        icon = QIcon(
            new BadgedIconEngine(base, {resource(badge), resource(item.failed ? "badge-failed" : nullptr)}));
    }
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
