#include "widgets/ActionIcons.h"

#include "QtTestRegistry.h"
#include "items/FileItem.h"

#include <QImage>
#include <QSet>
#include <QTest>

namespace velmora::widgets {

class ActionIconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every kind, state and failure has a picture of its own, at both sizes and at double scale.
    void everyCombinationLooksDifferent() {
        for (const int size : {16, 32}) {
            for (const qreal scale : {1.0, 2.0}) {
                QSet<QByteArray> seen;
                int made = 0;
                for (const ItemKind kind : {kFolder, kFile})
                    for (const ItemState state : {kPlain, kExcluded, kOverwrite, kAdd, kDelete})
                        for (const bool failed : {false, true}) {
                            const QPixmap picture =
                                actionIcon(kind, state, failed).pixmap(QSize(size, size), scale);
                            QCOMPARE(picture.size(), QSize(size, size) * scale);
                            const QImage image = picture.toImage();
                            seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                                   static_cast<int>(image.sizeInBytes())));
                            ++made;
                        }
                QCOMPARE(seen.size(), made);
            }
        }
    }

    void programAndArrowsDraw() {
        for (const QIcon& icon : {programIcon(), directionIcon(true, ArrowStyle::Small),
                                  directionIcon(false, ArrowStyle::Large)}) {
            const QImage image = icon.pixmap(QSize(32, 32)).toImage();
            QVERIFY(image.pixelColor(16, 16).alpha() > 0 || image.pixelColor(8, 16).alpha() > 0);
        }
    }
};

VELMORA_QT_TEST(ActionIconsTest)

} // namespace velmora::widgets

#include "ActionIconsTest.moc"
