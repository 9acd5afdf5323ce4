#include "QtTestRegistry.h"
#include "ScriptedFrontEnd.h"
#include "browse/BrowseEnvironment.h"
#include "browse/FolderDlg.h"
#include "browse/FolderTree.h"
#include "platform/FileSystem.h"
#include "remote/RoutingFileSystem.h"
#include "sftp/OpenLocation.h"
#include "smb/OpenShare.h"
#include "support/SmbServer.h"
#include "support/SshServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <unistd.h>

namespace velmora::browse {

// The folder tree and the folder dialog against real servers on loopback: a Samba share reached
// through "Connect to server..." and an SFTP server walked to by path.
class RemoteTreeTest : public QObject {
    Q_OBJECT

    test::ScriptedFrontEnd frontEnd_;
    remote::RoutingFileSystem routed_{platform::realFileSystem()};

private Q_SLOTS:
    void aShareIsReachedThroughConnectToServerAndBrowsed() {
        test::SmbServer server;
        if (!server.start())
            VELMORA_QSKIP(QString::fromStdString("cannot start a private Samba server: " + server.whyNot()));
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(server.clientHome()));
        QVERIFY(QDir().mkpath(QString::fromStdString(server.shareFolder() + "/Reports/2026")));
        int asked = 0;
        BrowseEnvironment environment(frontEnd_, routed_, nullptr);
        environment.remote.connect = [this, &asked](const std::string& location) {
            smb::SmbLogin login;
            login.timeoutSeconds = 5;
            // What the dialog hands back when the guest is refused.
            login.askCredentials = [&asked](const std::string&) {
                ++asked;
                return std::optional<smb::SmbCredentials>(smb::SmbCredentials{"root", "", "velmora-test-1"});
            };
            return smb::openServer(routed_, location, login);
        };
        environment.remote.shares = [this](const std::string& at, std::vector<RemoteShare>& out) {
            std::vector<smb::ShareInfo> shares;
            const int error = smb::sharesOfServer(routed_, at, shares);
            for (const smb::ShareInfo& share : shares)
                out.push_back({share.name, share.comment});
            return error;
        };
        const std::string address = "smb://127.0.0.1:" + std::to_string(server.port());
        {
            FolderDlg dialog(environment, QStringLiteral("Select Folder Location 2"), "");
            dialog.show();
            auto* connectButton = dialog.findChild<QPushButton*>(QStringLiteral("connectServer"));
            QVERIFY(connectButton && connectButton->isVisible());
            bool refusedFirst = false;
            QTimer::singleShot(0, [&] {
                auto* asking = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                auto* field = asking->findChild<QLineEdit*>(QStringLiteral("serverAddress"));
                QTest::keyClicks(field, QStringLiteral("nas"));
                QTest::keyClick(field, Qt::Key_Return);
                refusedFirst = asking->isVisible() &&
                               asking->findChild<QLabel*>(QStringLiteral("addressProblem"))->isVisible();
                field->clear();
                QTest::keyClicks(field, QString::fromStdString(address));
                QTest::keyClick(field, Qt::Key_Return);
            });
            QTest::mouseClick(connectButton, Qt::LeftButton);
            QVERIFY(refusedFirst);
            QCOMPARE(asked, 0); // the server lets a guest list its shares
            FolderTree* tree = dialog.tree();
            QTreeWidgetItem* serverItem = tree->currentItem();
            QCOMPARE(serverItem->text(0), QString::fromStdString(address.substr(6)));
            QCOMPARE(serverItem->childCount(), 1);
            QCOMPARE(serverItem->child(0)->text(0), QStringLiteral("data"));
            QCOMPARE(serverItem->child(0)->toolTip(0), QStringLiteral("Files of the tests"));
            // Down to the share, open it, down to its folder: OK hands back the folder's location.
            QTest::keyClick(tree, Qt::Key_Down);
            QTest::keyClick(tree, Qt::Key_Right);
            QTest::keyClick(tree, Qt::Key_Down);
            QCOMPARE(asked, 1); // the share wants a login
            QCOMPARE(QString::fromStdString(tree->selectedPath()),
                     QString::fromStdString(address + "/data/Reports"));
            // "Create Dir" makes the folder on the share and goes to it.
            QTimer::singleShot(0, [] {
                auto* names = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QTest::keyClicks(names->findChild<QLineEdit*>(), QStringLiteral("2027"));
                QTest::keyClick(names->findChild<QLineEdit*>(), Qt::Key_Return);
            });
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("createDir")), Qt::LeftButton);
            QVERIFY(QDir(QString::fromStdString(server.shareFolder() + "/Reports/2027")).exists());
            tree->setFocus(Qt::TabFocusReason);
            QTest::keyClick(tree, Qt::Key_Return);
            QCOMPARE(dialog.path(), address + "/data/Reports/2027/");
        }
        {
            // Letter case does not matter on a share; a delete there says there is no trash.
            FolderTree tree(environment);
            tree.applyOptions(52);
            tree.reload();
            QTreeWidgetItem* year = tree.selectPath(address + "/DATA/reports/2026/", false);
            QVERIFY(year != nullptr);
            frontEnd_.answers = {true};
            QVERIFY(tree.deleteItem(year, false));
            QVERIFY(frontEnd_.questions.back().starts_with("There is no trash on " + address));
            QVERIFY(!QDir(QString::fromStdString(server.shareFolder() + "/Reports/2026")).exists());
            QVERIFY(QDir(QString::fromStdString(server.shareFolder() + "/Reports")).exists());
        }
        qputenv("HOME", home);
    }

    void anSftpFolderIsWalkedToByItsLocation() {
        if (::geteuid() != 0)
            VELMORA_QSKIP(QString::fromStdString("the private ssh server logs in as root"));
        test::SshServer server;
        if (!server.start())
            VELMORA_QSKIP(QString::fromStdString("cannot start a private ssh server: " + server.whyNot()));
        test::TempDir dir;
        const std::string ssh = dir.makeFolder("ssh");
        QCOMPARE(test::runShell("cp '" + server.userKey() + "' '" + ssh + "/id_ed25519'"), 0);
        std::ofstream(ssh + "/known_hosts") << server.knownHostsLine() << "\n";
        dir.makeFolder("tree/alpha/inner");
        dir.makeFolder("tree/beta");
        BrowseEnvironment environment(frontEnd_, routed_, nullptr);
        environment.remote.connect = [this, ssh](const std::string& location) {
            sftp::SftpLogin login;
            login.sshFolder = ssh;
            login.timeoutSeconds = 5;
            return sftp::openLocation(routed_, location, login);
        };
        const std::string server1 = "sftp://root@127.0.0.1:" + std::to_string(server.port());
        FolderTree tree(environment);
        tree.applyOptions(52);
        tree.reload();
        QTreeWidgetItem* alpha = tree.selectPath(server1 + dir.at("tree/alpha/"), true);
        QVERIFY(alpha != nullptr);
        QCOMPARE(tree.selectedPath(), server1 + dir.at("tree/alpha"));
        QCOMPARE(alpha->childCount(), 1);
        QCOMPARE(alpha->child(0)->text(0), QStringLiteral("inner"));
        QTreeWidgetItem* serverItem = tree.topLevelItem(1)->child(tree.topLevelItem(1)->childCount() - 1);
        QCOMPARE(serverItem->text(0), QString::fromStdString(server1.substr(7)));
        QCOMPARE(serverItem->child(1)->text(0), QStringLiteral("Home"));
        // A rename goes to the server.
        QTreeWidgetItem* beta = tree.selectPath(server1 + dir.at("tree/beta"), false);
        QVERIFY(tree.beginRename(beta));
        beta->setText(0, QStringLiteral("gamma"));
        QCOMPARE(tree.selectedPath(), server1 + dir.at("tree/gamma"));
        QVERIFY(QDir(QString::fromStdString(dir.at("tree/gamma"))).exists());
        // Names on an SFTP server pair by their bytes: another letter case is another folder.
        QVERIFY(tree.selectPath(server1 + dir.at("tree/ALPHA"), false) == nullptr);
    }
};

VELMORA_QT_TEST(RemoteTreeTest)

} // namespace velmora::browse

#include "RemoteTreeTest.moc"
