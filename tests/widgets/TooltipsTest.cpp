#include "widgets/Tooltips.h"

#include "QtTestRegistry.h"

#include <QPushButton>
#include <QTest>

namespace velmora::widgets {

class TooltipsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textsOnlyWhileTheSettingIsOn() {
        QWidget window;
        window.setObjectName(QStringLiteral("window"));
        auto* button = new QPushButton(&window);
        button->setObjectName(QStringLiteral("exitButton"));
        const TooltipTable table{{"exitButton", "Exit Velmora"}, {"window", "Main"}, {"missing", "x"}};
        applyTooltips(&window, table, true);
        QCOMPARE(button->toolTip(), QStringLiteral("Exit Velmora"));
        QCOMPARE(window.toolTip(), QStringLiteral("Main"));
        applyTooltips(&window, table, false);
        QVERIFY(button->toolTip().isEmpty());
        QVERIFY(window.toolTip().isEmpty());
    }
};

VELMORA_QT_TEST(TooltipsTest)

} // namespace velmora::widgets

#include "TooltipsTest.moc"
