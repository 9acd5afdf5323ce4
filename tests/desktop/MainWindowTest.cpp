#include "desktop/MainWindow.h"

#include "QtTestRegistry.h"
#include "desktop/CommandLine.h"

#include <QTest>

namespace velmora::desktop {

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithTheProgramsName() {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Velmora"));
    }

    void commandLineTakesTheFirstPathAndIgnoresOtherOptions() {
        const CommandLine line = parseCommandLine({"-x", "/home/a b/x.vmp", "second.vmp"});
        QCOMPARE(line.file, std::string("/home/a b/x.vmp"));
        QVERIFY(!line.help && !line.version);
        QCOMPARE(parseCommandLine({"--version", "/p.vmb"}).file, std::string("/p.vmb"));
        QVERIFY(parseCommandLine({"-h"}).help);
    }
};

VELMORA_QT_TEST(MainWindowTest)

} // namespace velmora::desktop

#include "MainWindowTest.moc"
