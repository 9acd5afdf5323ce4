#include "desktop/MainWindow.h"

#include "QtTestRegistry.h"
#include "desktop/CommandLine.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace velmora::desktop {

namespace {

// A window over a source tree, an empty target and settings of its own, all in one temporary
// folder.
struct Rig {
    QTemporaryDir folder;
    platform::PosixFileSystem fileSystem;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MainWindow> window;

    explicit Rig(int files = 3) {
        QDir root(folder.path());
        root.mkpath(QStringLiteral("source/sub"));
        root.mkpath(QStringLiteral("target"));
        for (int i = 0; i < files; ++i)
            write(QStringLiteral("source/sub/f%1.txt").arg(i), "data");
        settings = std::make_unique<SettingsStore>(path("settings.conf").toStdString());
        window = std::make_unique<MainWindow>(fileSystem, *settings);
    }
    QString path(const QString& relative) const { return QDir(folder.path()).filePath(relative); }
    QString path(const char* relative) const { return path(QString::fromLatin1(relative)); }
    void write(const QString& relative, const QByteArray& bytes) const {
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A profile from source to target with the given extra lines.
    std::string profile(const QByteArray& lines) const {
        write(QStringLiteral("p.vmp"), "velmora_version=1.09\r\nlocation1=" + path("source/").toUtf8() +
                                           "\r\nlocation2=" + path("target/").toUtf8() +
                                           "\r\ncheck_actions=0\r\n" + lines);
        return path("p.vmp").toStdString();
    }
    int targetFiles() const { return int(QDir(path("target/sub")).entryList(QDir::Files).size()); }
    template <typename T = QWidget>
    T* control(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
};

// Runs `action` on the next pass of the event loop, i.e. from inside the run's pump.
void soon(const std::function<void()>& action) {
    QTimer::singleShot(0, QApplication::instance(), action);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandLineTakesTheFirstPathAndIgnoresOtherOptions() {
        const CommandLine line = parseCommandLine({"-x", "/home/a b/x.vmp", "second.vmp"});
        QCOMPARE(line.file, std::string("/home/a b/x.vmp"));
        QVERIFY(!line.help && !line.version);
        QCOMPARE(parseCommandLine({"--version", "/p.vmb"}).file, std::string("/p.vmb"));
        QVERIFY(parseCommandLine({"-h"}).help);

        QVERIFY(!hasDisplay(nullptr, "", nullptr, {"velmora", "p.vmp"}));
        QVERIFY(hasDisplay(":0", nullptr, nullptr, {}) && hasDisplay(nullptr, "wayland-0", nullptr, {}));
        QVERIFY(hasDisplay(nullptr, nullptr, "offscreen", {}) &&
                hasDisplay(nullptr, nullptr, nullptr, {"-platform"}));

        QTemporaryDir folder;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        QFile(QStringLiteral("p.vmp")).open(QIODevice::WriteOnly);
        const std::string found = pathToOpen("./p.vmp");
        const std::string missing = pathToOpen("missing.vmp");
        QDir::setCurrent(before);
        QCOMPARE(found, QDir(folder.path()).filePath(QStringLiteral("p.vmp")).toStdString());
        QCOMPARE(missing, std::string("missing.vmp")); // reported as given
    }

    void controlsFollowTheControlState() {
        Rig rig;
        rig.window->startUp("");
        // Opened behind the window's back: the change notice brings it up to date.
        rig.window->controller().openFile(rig.profile(""));
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Velmora - p"));
        QCOMPARE(rig.control<QComboBox>("locationOneBox")->currentText(), rig.path("source/"));
        QVERIFY(!rig.control("stopButton")->isEnabled());

        // Silent Mode clears and disables the check-list and delete confirmation.
        rig.control<QCheckBox>("checkActionsBox")->click();
        rig.control<QCheckBox>("silentModeBox")->click();
        for (const char* name : {"checkActionsBox", "confirmDeletesBox"}) {
            QVERIFY(!rig.control<QCheckBox>(name)->isChecked());
            QVERIFY(!rig.control(name)->isEnabled());
        }
        QVERIFY(!rig.control("silentModeLabelOneToTwo")->isHidden());
        QVERIFY(rig.control("saveButton")->isEnabled()); // modified
    }

    void everyControlHasANameAScreenReaderReadsAndAnObjectName() {
        Rig rig;
        rig.window->startUp("");
        rig.window->show();
        int controls = 0;
        for (QWidget* widget : rig.window->findChildren<QWidget*>()) {
            if (widget->focusPolicy() == Qt::NoFocus || qobject_cast<QLineEdit*>(widget->parentWidget()) ||
                qobject_cast<QComboBox*>(widget->parentWidget()) ||
                widget->inherits("QComboBoxPrivateContainer") ||
                !widget->window()->inherits("velmora::desktop::MainWindow"))
                continue;
            ++controls;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(
                accessible && !accessible->text(QAccessible::Name).isEmpty(),
                qPrintable(widget->objectName() + QStringLiteral(" ") + widget->metaObject()->className()));
            QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
        }
        QVERIFY(controls >= 25);
    }

    void tooltipsOnlyWhileTheSettingIsOn() {
        Rig rig;
        rig.window->startUp("");
        QCOMPARE(rig.control("exitButton")->toolTip(), QStringLiteral("Exit Velmora"));
        GeneralSettings general = rig.window->controller().general();
        general.showTooltips = false;
        rig.window->controller().configurationAccepted(general);
        rig.window->refresh();
        for (const char* name : {"exitButton", "progressBar", "synchroniseOneToTwoButton", "checkActionsBox"})
            QVERIFY2(rig.control(name)->toolTip().isEmpty(), name);
    }

    void aRunStartedFromTheWindowCanBeStopped() {
        Rig rig(50);
        rig.window->startUp(rig.profile("silent_mode=1\r\n"));
        rig.window->show();
        bool stopWasEnabled = false;
        soon([&] {
            stopWasEnabled = rig.control("stopButton")->isEnabled() &&
                             !rig.control("exitButton")->isEnabled() &&
                             !rig.control("lastReportButton")->isEnabled();
            rig.control<QPushButton>("stopButton")->click();
        });
        rig.control<QPushButton>("synchroniseOneToTwoButton")->click();
        QVERIFY(stopWasEnabled);
        QCOMPARE(rig.window->controller().results().lastHeadline,
                 std::string("Synchronisation interrupted\n"));
        QVERIFY(rig.targetFiles() < 50);
        QVERIFY(!rig.control("stopButton")->isEnabled());
    }

    void escapeDuringARunIsRefusedAndKeepsTheWindow() {
        Rig rig(50);
        rig.window->startUp(rig.profile(""));
        rig.window->show();
        QString refusal;
        soon([&] {
            // The refusal is a modal box of its own: read it and close it, then stop the run.
            soon([&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    refusal = box->text();
                    box->accept();
                }
                rig.control<QPushButton>("stopButton")->click();
            });
            QTest::keyClick(rig.window.get(), Qt::Key_Escape);
        });
        // The report of the interrupted run is a modal dialog too.
        QTimer closeReport;
        QObject::connect(&closeReport, &QTimer::timeout, [&] {
            auto* report = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (report && report->objectName() == QStringLiteral("syncReportDialog"))
                report->accept();
        });
        closeReport.start(20);
        rig.control<QPushButton>("synchroniseOneToTwoButton")->click();
        QCOMPARE(refusal, QStringLiteral("Velmora cannot be closed whilst a synchronisation is running.\n"
                                         "Use the Stop button first"));
        QVERIFY(rig.window->isVisible());
        QVERIFY(!rig.window->controller().finished());
    }

    void anAutoStartProfileOnTheCommandLineRunsAndExitsOnCompletion() {
        Rig rig;
        QSignalSpy finished(rig.window.get(), &QDialog::finished);
        // Location 2 to 1: the target folder's contents go to the source.
        rig.write(QStringLiteral("target/back.txt"), "x");
        rig.window->startUp(rig.profile("auto_start=2\r\nsilent_mode=1\r\nexit_on_completion=1\r\n"));
        rig.window->show();
        QVERIFY(finished.wait(10000));
        QVERIFY(QFile::exists(rig.path("source/back.txt")));
        QVERIFY(!QFile::exists(rig.path("source/sub"))); // deleted: not in Location 2
        QVERIFY(rig.window->controller().finished());
    }
};

VELMORA_QT_TEST(MainWindowTest)

} // namespace velmora::desktop

#include "MainWindowTest.moc"
