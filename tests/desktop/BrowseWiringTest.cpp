#include "QtTestRegistry.h"
#include "browse/FolderDlg.h"
#include "browse/FolderTree.h"
#include "desktop/MainWindow.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"
#include "views/ExclusionFilesDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace velmora::desktop {

// The main window's Browse buttons open the folder dialog and take its choice; "Exclusions" opens
// the exclusion list and OK hands its lists to the profile.
class BrowseWiringTest : public QObject {
    Q_OBJECT

    template <typename Dialog>
    static void whenOpen(std::function<void(Dialog&)> act) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                whenOpen<Dialog>(act);
                return;
            }
            act(*dialog);
        });
    }

private Q_SLOTS:
    void browseAndExclusionsOpenTheirDialogs() {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath(QStringLiteral("chosen/inner"));
        platform::PosixFileSystem fileSystem;
        SettingsStore settings(QDir(folder.path()).filePath(QStringLiteral("settings.conf")).toStdString());
        MainWindow window(fileSystem, settings);
        window.startUp("");
        const std::string chosen = QFile::encodeName(folder.path()).toStdString() + "/chosen";

        whenOpen<browse::FolderDlg>([chosen](browse::FolderDlg& dialog) {
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("prompt"))->text(),
                     QStringLiteral("Select Folder Location 1"));
            dialog.tree()->selectPath(chosen, false);
            dialog.accept();
        });
        window.findChild<QPushButton*>(QStringLiteral("browseOneButton"))->click();
        QCOMPARE(window.controller().locationText(Location::One), chosen + "/");

        whenOpen<views::ExclusionFilesDlg>([](views::ExclusionFilesDlg& dialog) { dialog.accept(); });
        window.findChild<QPushButton*>(QStringLiteral("exclusionsButton"))->click();
        QVERIFY(window.controller().profile().exclusions.empty());
    }
};

VELMORA_QT_TEST(BrowseWiringTest)

} // namespace velmora::desktop

#include "BrowseWiringTest.moc"
