#include "widgets/MessageBoxes.h"

#include "QtTestRegistry.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace velmora::widgets {

class MessageBoxesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Enter answers an ordinary question Yes, but a question whose Yes may lose data No.
    void enterGivesThePreferredAnswer() {
        const std::pair<Default, bool> table[] = {{Default::Yes, true}, {Default::No, false}};
        for (const auto& [preferred, expected] : table) {
            QTimer::singleShot(0, qApp, [] {
                if (QWidget* box = QApplication::activeModalWidget())
                    QTest::keyClick(box, Qt::Key_Return);
            });
            QCOMPARE(askQuestion(nullptr, QStringLiteral("Delete them?"), preferred), expected);
        }
    }
};

VELMORA_QT_TEST(MessageBoxesTest)

} // namespace velmora::widgets

#include "MessageBoxesTest.moc"
