#include "QtTestRegistry.h"
#include "WindowRig.h"
#include "app/AppController.h"
#include "desktop/DialogLaunchers.h"
#include "desktop/MainWindow.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace velmora::desktop {

namespace {

struct Rig {
    QTemporaryDir folder;
    platform::PosixFileSystem fileSystem;
    SettingsStore settings{QDir(folder.path()).filePath(QStringLiteral("settings.conf")).toStdString()};
    MainWindow window{fileSystem, settings};
    AppController& controller = window.controller();
};

// Runs `act` on the modal window that is open when the event loop next turns.
void onNextModal(const std::function<void(QWidget&)>& act) {
    QTimer::singleShot(0, QApplication::instance(), [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        act(*modal);
    });
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Cancel leaves the profile alone; a refused field keeps the dialog open; OK stores.
    void moreOptionsReachesTheProfileOnlyOnOk() {
        Rig rig;
        onNextModal([](QWidget& dialog) {
            find<QCheckBox>(dialog, "autoStartBox")->click();
            find(dialog, "cancelButton")->click();
        });
        QVERIFY(!editMoreOptions(nullptr, rig.controller));
        QCOMPARE(rig.controller.profile().autoStart, AutoStartDirection::Off);

        onNextModal([](QWidget& dialog) {
            find<QCheckBox>(dialog, "autoStartBox")->click();
            find<QLineEdit>(dialog, "hoursBox")->setText(QStringLiteral("13"));
            onNextModal([](QWidget& box) {
                QCOMPARE(qobject_cast<QMessageBox*>(&box)->text(),
                         QStringLiteral("Please enter an integer between -12 and 12."));
                qobject_cast<QMessageBox*>(&box)->accept();
            });
            find(dialog, "okButton")->click();
            QVERIFY(dialog.isVisible());
            find<QLineEdit>(dialog, "hoursBox")->setText(QStringLiteral("-2"));
            find(dialog, "okButton")->click();
        });
        QVERIFY(editMoreOptions(nullptr, rig.controller));
        QCOMPARE(rig.controller.profile().autoStart, AutoStartDirection::OneToTwo);
        QCOMPARE(rig.controller.profile().adjustHours, -2);
    }

    void configurationReachesTheSettingsOnlyOnOk() {
        Rig rig;
        for (const char* answer : {"cancelButton", "okButton"}) {
            onNextModal([answer](QWidget& dialog) {
                find<QLineEdit>(dialog, "commandTimeoutBox")->setText(QStringLiteral("10"));
                find<QLineEdit>(dialog, "parallelCommandsBox")->setText(QStringLiteral("3"));
                find(dialog, answer)->click();
            });
            editConfiguration(nullptr, rig.controller);
        }
        QCOMPARE(rig.controller.general().commandTimeout, 10u);
        QCOMPARE(readGeneralSettings(rig.settings).commandTimeout, 10u);
        QCOMPARE(rig.controller.general().parallelCommands, 3u);
    }

    // The buttons follow the selection, a move keeps the entry selected, OK hands the list over.
    void batchListEditsReachTheBatchOnOk() {
        Rig rig;
        BatchList start({"/p/a.vmp", "/p/b.vmp", "/p/c.vmp"});
        // With nothing open, OK goes on to Save As: cancelled here each time.
        const auto cancelSaveAs = [] {
            onNextModal([](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); });
        };
        cancelSaveAs();
        rig.controller.acceptBatchList(start);
        onNextModal([cancelSaveAs](QWidget& dialog) {
            auto* list = find<QListWidget>(dialog, "profileList");
            QVERIFY(!find(dialog, "removeButton")->isEnabled());
            list->item(2)->setSelected(true);
            QVERIFY(!find(dialog, "moveDownButton")->isEnabled());
            find(dialog, "moveUpButton")->click();
            QVERIFY(list->item(1)->isSelected());
            find(dialog, "removeButton")->click();
            cancelSaveAs();
            find(dialog, "okButton")->click();
        });
        editBatchList(nullptr, rig.controller);
        QCOMPARE(rig.controller.batch().profiles, (std::vector<std::string>{"/p/a.vmp", "/p/b.vmp"}));
    }
};

VELMORA_QT_TEST(DialogsTest)

} // namespace velmora::desktop

#include "DialogsTest.moc"
