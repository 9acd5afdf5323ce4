#include "QtTestRegistry.h"
#include "ScriptedFrontEnd.h"
#include "browse/BrowseEnvironment.h"
#include "browse/BrowseIcons.h"
#include "browse/BrowseList.h"
#include "browse/FolderDlg.h"
#include "browse/FolderTree.h"
#include "platform/FileSystem.h"
#include "platform/LatencyFileSystem.h"
#include "profiles/SettingsStore.h"

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

namespace velmora::browse {

// A mount that stops answering: listings of folders named "stalled" wait until released.
class StalledListings : public platform::LatencyFileSystem {
public:
    StalledListings() : LatencyFileSystem(platform::realFileSystem(), std::chrono::microseconds(0)) {}
    ~StalledListings() override {
        released_ = true;
        FileCommands::settle(std::chrono::seconds(10));
    }
    int listFolder(const std::string& path,
                   const std::function<bool(const platform::DirEntry&)>& onEntry) override {
        for (int waited = 0; path.find("/stalled") != std::string::npos && !released_ && waited < 1000;
             ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return LatencyFileSystem::listFolder(path, onEntry);
    }

private:
    std::atomic<bool> released_{false};
};

class BrowseControlsTest : public QObject {
    Q_OBJECT

    std::string root() const { return QFile::encodeName(dir_->path()).toStdString(); }
    void make(const char* relative) {
        QDir().mkpath(dir_->path() + QLatin1Char('/') + QString::fromUtf8(relative));
    }
    void write(const QByteArray& relative, const QByteArray& bytes) {
        QFile file(dir_->path() + QLatin1Char('/') + QString::fromUtf8(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    test::ScriptedFrontEnd frontEnd_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<BrowseEnvironment> environment_;

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        make("tree/alpha/inner");
        make("tree/beta");
        make("tree/empty");
        write("tree/file.txt", "12345");
        write("tree/big.bin", QByteArray(2000, 'x'));
        frontEnd_ = {};
        settings_ = std::make_unique<SettingsStore>(root() + "/settings.conf");
        environment_ =
            std::make_unique<BrowseEnvironment>(frontEnd_, platform::realFileSystem(), settings_.get());
    }

    void treeSelectsByWalkingFromTheRoot() {
        FolderTree tree(*environment_);
        tree.applyOptions(52);
        tree.reload();
        const std::string tree1 = root() + "/tree";
        QVERIFY(tree.selectPath(tree1 + "/alpha/", true) != nullptr);
        QCOMPARE(tree.selectedPath(), tree1 + "/alpha");
        QVERIFY(tree.currentItem()->isExpanded());
        // A path that cannot be walked leaves the selection on the deepest folder found.
        QVERIFY(tree.selectPath(tree1 + "/beta/missing/deeper", false) == nullptr);
        QCOMPARE(tree.selectedPath(), tree1 + "/beta");
        // An empty folder loses its expand button once opened.
        QTreeWidgetItem* empty = tree.selectPath(tree1 + "/empty", true);
        QVERIFY(empty && empty->childCount() == 0);
        QCOMPARE(empty->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
        // Collapsing throws the children away; the next expansion reads the disk again.
        QTreeWidgetItem* parent = empty->parent();
        parent->setExpanded(false);
        QCOMPARE(parent->childCount(), 0);
        make("tree/gamma");
        parent->setExpanded(true);
        QCOMPARE(parent->childCount(), 4);
        // A folder deleted behind the tree's back is pruned when selected.
        QTreeWidgetItem* beta = tree.selectPath(tree1 + "/beta", false);
        tree.setCurrentItem(parent);
        QVERIFY(QDir(dir_->path() + QStringLiteral("/tree/beta")).removeRecursively());
        tree.setCurrentItem(beta);
        QCOMPARE(parent->childCount(), 3);
        // The computer node has no path.
        tree.setCurrentItem(tree.topLevelItem(0));
        QCOMPARE(tree.selectedPath(), std::string());
    }

    void collapsingAFolderAboveTheSelectionTellsTheDialog() {
        FolderTree tree(*environment_);
        tree.applyOptions(52);
        tree.reload();
        const std::string tree1 = root() + "/tree";
        QTreeWidgetItem* inner = tree.selectPath(tree1 + "/alpha/inner", false);
        QVERIFY(inner != nullptr);
        QSignalSpy told(&tree, &FolderTree::selectedPathChanged);
        tree.collapseItem(inner->parent()->parent());
        QCOMPARE(tree.selectedPath(), tree1);
        QCOMPARE(told.count(), 1);
    }

    void treeRenamesAndDeletesWithItsQuestions() {
        FolderTree tree(*environment_);
        tree.applyOptions(52);
        tree.reload();
        const std::string tree1 = root() + "/tree";
        QTreeWidgetItem* alpha = tree.selectPath(tree1 + "/alpha", false);
        QVERIFY(tree.beginRename(alpha));
        alpha->setText(0, QStringLiteral("renamed"));
        QCOMPARE(tree.selectedPath(), tree1 + "/renamed");
        QVERIFY(QDir(dir_->path() + QStringLiteral("/tree/renamed/inner")).exists());
        QVERIFY(!tree.beginRename(tree.topLevelItem(0)));

        frontEnd_.answers = {false, true};
        QTreeWidgetItem* renamed = tree.selectPath(tree1 + "/renamed", false);
        QVERIFY(!tree.deleteItem(renamed, true));
        QVERIFY(QDir(dir_->path() + QStringLiteral("/tree/renamed")).exists());
        QVERIFY(tree.deleteItem(renamed, true));
        QVERIFY(!QDir(dir_->path() + QStringLiteral("/tree/renamed")).exists());
        QCOMPARE(tree.selectedPath(), tree1);
        QCOMPARE(frontEnd_.questions.size(), std::size_t(2));
    }

    // A user whose home has no .local/share yet: the Delete key still puts the folder in the home
    // trash, made where the desktop looks for it, and nothing lands in the working folder.
    void deleteKeyMovesAFolderToATrashMadeInTheHome() {
        make("home");
        make("cwd");
        const QByteArray home = qgetenv("HOME"), dataHome = qgetenv("XDG_DATA_HOME");
        const QString workingFolder = QDir::currentPath();
        qputenv("HOME", QFile::encodeName(dir_->path() + QStringLiteral("/home")));
        qunsetenv("XDG_DATA_HOME");
        QDir::setCurrent(dir_->path() + QStringLiteral("/cwd"));
        {
            FolderTree tree(*environment_);
            tree.applyOptions(52);
            tree.reload();
            tree.show();
            QTreeWidgetItem* beta = tree.selectPath(root() + "/tree/beta", false);
            QVERIFY(beta != nullptr);
            tree.setFocus(Qt::TabFocusReason);
            frontEnd_.answers = {true};
            QTest::keyClick(&tree, Qt::Key_Delete);
        }
        QDir::setCurrent(workingFolder);
        qputenv("HOME", home);
        if (!dataHome.isEmpty())
            qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(frontEnd_.questions.front(), "Move this folder to the trash?\n" + root() + "/tree/beta");
        QVERIFY(!QDir(dir_->path() + QStringLiteral("/tree/beta")).exists());
        QVERIFY(QDir(dir_->path() + QStringLiteral("/home/.local/share/Trash/files/beta")).exists());
        QVERIFY(QDir(dir_->path() + QStringLiteral("/cwd"))
                    .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    // Opening a folder on a mount that stopped answering: the window is back within the command
    // timeout and the folder says why it shows nothing.
    void aFolderThatDoesNotAnswerIsShownAsUnreadable() {
        make("tree/stalled/inside");
        StalledListings stalled;
        BrowseEnvironment environment(frontEnd_, stalled, settings_.get());
        environment.setCommandTimeout(1);
        FolderTree tree(environment);
        tree.applyOptions(52);
        tree.reload();
        tree.show();
        QTreeWidgetItem* folder = tree.selectPath(root() + "/tree/stalled", false);
        QVERIFY(folder != nullptr);
        tree.setFocus(Qt::TabFocusReason);
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(&tree, Qt::Key_Right);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(folder->childCount(), 0);
        QCOMPARE(folder->toolTip(0), QStringLiteral("Could not read this folder: Timed out"));
        QCOMPARE(frontEnd_.messages.back(), "Could not read folder: " + root() + "/tree/stalled/\nTimed out");
        QCOMPARE(tree.selectedPath(), root() + "/tree/stalled");
    }

    // The Network node offers the servers of the recent locations without reaching them; a server
    // is connected only when the user opens it, and one that cannot be reached says why.
    void networkNodeOffersServersAndConnectsThemWhenOpened() {
        std::vector<std::string> connects;
        environment_->remote.recentLocations = [] {
            return std::vector<std::string>{"/local/", "sftp://ann@backup:2222/~/Documents/",
                                            "\\\\nas\\media", "sftp://ann@backup:2222/srv/"};
        };
        environment_->remote.discover = [](std::vector<std::string>& servers) {
            servers = {"nas", "fileserver"}; // what the network announces
            return 0;
        };
        environment_->remote.connect = [&connects](const std::string& location) {
            connects.push_back(location);
            return location.starts_with("smb://") ? std::string("The server nas did not answer")
                                                  : std::string();
        };
        FolderTree tree(*environment_);
        tree.applyOptions(52);
        tree.reload();
        tree.show();
        QTreeWidgetItem* network = tree.topLevelItem(1);
        network->setExpanded(true);
        QStringList servers;
        for (int i = 0; i < network->childCount(); ++i)
            servers << network->child(i)->text(0);
        const QStringList expected{QStringLiteral("ann@backup:2222"), QStringLiteral("nas"),
                                   QStringLiteral("fileserver")};
        QCOMPARE(servers.mid(servers.size() - expected.size()), expected);
        QVERIFY(connects.empty());

        QTreeWidgetItem* backup =
            network->child(static_cast<int>(servers.indexOf(QStringLiteral("ann@backup:2222"))));
        tree.setCurrentItem(backup);
        tree.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&tree, Qt::Key_Right);
        QCOMPARE(connects, std::vector<std::string>{"sftp://ann@backup:2222/"});
        QCOMPARE(backup->childCount(), 2);
        QCOMPARE(backup->child(0)->text(0), QStringLiteral("/"));
        QCOMPARE(backup->child(1)->text(0), QStringLiteral("Home"));
        QTest::keyClick(&tree, Qt::Key_Down);
        QTest::keyClick(&tree, Qt::Key_Down);
        QCOMPARE(tree.selectedPath(), std::string("sftp://ann@backup:2222/~/"));

        QTreeWidgetItem* nas = network->child(static_cast<int>(servers.indexOf(QStringLiteral("nas"))));
        nas->setExpanded(true);
        QCOMPARE(connects.back(), std::string("smb://nas/"));
        QCOMPARE(nas->childCount(), 0);
        QCOMPARE(nas->toolTip(0), QStringLiteral("Could not connect: The server nas did not answer"));
        QCOMPARE(frontEnd_.messages.back(),
                 std::string("Could not connect to smb://nas/\nThe server nas did not answer"));
        // Opening it again tries again (a password mistyped, a server started since).
        QVERIFY(!nas->isExpanded());
        nas->setExpanded(true);
        QCOMPARE(connects.size(), std::size_t(3));
        // Nothing of another machine goes to this desktop's trash or file manager.
        QVERIFY(tree.selectPath("sftp://ann@backup:2222/~/", false) != nullptr);
        FileBrowser browser(environment_->services());
        DeleteQuestions questions(frontEnd_, false);
        frontEnd_.answers = {false};
        QVERIFY(!browser.trashOrDelete("sftp://ann@backup:2222/~/Documents", questions));
        QVERIFY(frontEnd_.questions.back().find("There is no trash on sftp://ann@backup:2222") !=
                std::string::npos);
    }

    void folderDialogHandsBackAPathEndingInSlash() {
        const std::string tree1 = root() + "/tree";
        const struct {
            std::string start, expected;
        } cases[] = {
            {"", "/"}, {"/", "/"}, {tree1 + "/beta", tree1 + "/beta/"}, {tree1 + "/nothing", tree1 + "/"}};
        for (const auto& test : cases) {
            FolderDlg dialog(*environment_, QStringLiteral("Select Folder Location 1"), test.start);
            dialog.accept();
            QCOMPARE(dialog.path(), test.expected);
        }
        FolderDlg dialog(*environment_, QStringLiteral("Select Folder"), tree1);
        QTimer::singleShot(0, [] {
            auto* names = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            names->findChild<QLineEdit*>()->setText(QStringLiteral("beta"));
            names->accept();
        });
        dialog.createFolder();
        dialog.accept();
        QCOMPARE(dialog.path(), tree1 + "/beta/");
    }

    // A user clicks, Ctrl+clicks and double-clicks names in every view style; the dialog's
    // selection and folder changes follow in each.
    void clicksSelectAndOpenInEveryViewStyle() {
        const struct {
            int style;
            const char* name;
        } styles[] = {{FileListView::List, "list"},
                      {FileListView::SmallIcons, "small icons"},
                      {FileListView::LargeIcons, "large icons"},
                      {FileListView::Details, "details"}};
        for (const auto& test : styles) {
            std::vector<FileItemPtr> selection;
            BrowseList list(*environment_, selection, false);
            list.resize(600, 400);
            list.setViewStyle(test.style);
            QVERIFY(list.showFolder(root() + "/tree"));
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            QAbstractItemView* view = list.currentView();
            auto centre = [view](int row) { return view->visualRect(view->model()->index(row, 0)).center(); };
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(4));
            QVERIFY2(selection.size() == 1 && selection.front()->name == "file.txt", test.name);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(0));
            QVERIFY2(selection.size() == 2 && selection.front()->name == "alpha", test.name);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(0));
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre(0));
            QVERIFY2(frontEnd_.messages.empty(), test.name);
            QVERIFY2(list.items().size() == 1 && list.items().front()->name == "inner", test.name);
            list.hide();
        }
    }

    // F2 and a slow second click on a selected name edit it in place in every view style; Enter
    // renames on disk with the list's rules, and a refused name leaves the entry as it was.
    void namesAreRenamedInPlaceInEveryViewStyle() {
        const struct {
            int style;
            const char* name;
        } styles[] = {{FileListView::List, "list"},
                      {FileListView::SmallIcons, "small icons"},
                      {FileListView::LargeIcons, "large icons"},
                      {FileListView::Details, "details"}};
        const QString folder = dir_->path() + QStringLiteral("/tree/");
        for (const auto& test : styles) {
            std::vector<FileItemPtr> selection;
            BrowseList list(*environment_, selection, false);
            list.resize(600, 400);
            list.setViewStyle(test.style);
            QVERIFY(list.showFolder(root() + "/tree"));
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            QAbstractItemView* view = list.currentView();
            auto rowOf = [&list](const std::string& name) {
                for (std::size_t row = 0; row < list.items().size(); ++row)
                    if (list.items()[row]->name == name)
                        return static_cast<int>(row);
                return -1;
            };
            auto centre = [view](int row) { return view->visualRect(view->model()->index(row, 0)).center(); };
            auto typeIntoEditor = [](const QString& text) {
                auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                QVERIFY(editor != nullptr);
                editor->selectAll();
                QTest::keyClicks(editor, text);
                QTest::keyClick(editor, Qt::Key_Return);
            };

            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(rowOf("file.txt")));
            QTest::keyClick(view, Qt::Key_F2);
            typeIntoEditor(QStringLiteral("named.txt"));
            QTRY_VERIFY2(QFile::exists(folder + QStringLiteral("named.txt")), test.name);
            QVERIFY2(frontEnd_.messages.empty(), test.name);
            QVERIFY2(rowOf("named.txt") >= 0 && rowOf("file.txt") < 0, test.name);

            const int big = rowOf("big.bin");
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(big));
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(big));
            QTRY_VERIFY2(qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr, test.name);
            typeIntoEditor(QStringLiteral("a/b"));
            QTRY_COMPARE(frontEnd_.messages.size(), std::size_t(1));
            QVERIFY2(QFile::exists(folder + QStringLiteral("big.bin")), test.name);
            frontEnd_.messages.clear();

            QVERIFY(QFile::rename(folder + QStringLiteral("named.txt"), folder + QStringLiteral("file.txt")));
            list.hide();
        }
    }

    // With room to spare, every name gets a cell as wide as its text in every view style, whatever
    // the first name's length; only a name wider than the whole list is cut.
    void namesAreCutOnlyWhenTheListIsTooNarrow() {
        write("tree/Alphabet soup.txt", "1");
        write("tree/" + QByteArray(240, 'w') + ".txt", "1");
        for (const int style : {FileListView::List, FileListView::SmallIcons, FileListView::LargeIcons,
                                FileListView::Details}) {
            std::vector<FileItemPtr> selection;
            BrowseList list(*environment_, selection, false);
            list.resize(700, 400);
            list.setViewStyle(style);
            QVERIFY(list.showFolder(root() + "/tree"));
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            QAbstractItemView* view = list.currentView();
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                const QModelIndex name = view->model()->index(row, 0);
                const int text = view->fontMetrics().horizontalAdvance(name.data().toString());
                const int width = view->visualRect(name).width();
                if (text < 300)
                    QVERIFY2(
                        width >= text + (style == FileListView::LargeIcons ? 0 : view->iconSize().width()),
                        qPrintable(QStringLiteral("style %1: %2").arg(style).arg(name.data().toString())));
                else
                    QVERIFY2(width <= view->viewport()->width(), qPrintable(QString::number(style)));
            }
            list.hide();
        }
    }

    // The tree and the list put names in dictionary order, numbers by value, and the same order
    // in both.
    void treeAndListSortNamesTheSameWay() {
        for (const char* name : {"tree/order/Zeta", "tree/order/docs", "tree/order/\xc3\x89mile",
                                 "tree/order/apple", "tree/order/file10", "tree/order/file9"})
            make(name);
        const QStringList expected{QStringLiteral("apple"),           QStringLiteral("docs"),
                                   QString::fromUtf8("\xc3\x89mile"), QStringLiteral("file9"),
                                   QStringLiteral("file10"),          QStringLiteral("Zeta")};
        FolderTree tree(*environment_);
        tree.applyOptions(52);
        tree.reload();
        QTreeWidgetItem* order = tree.selectPath(root() + "/tree/order", true);
        QVERIFY(order != nullptr);
        QStringList inTree;
        for (int i = 0; i < order->childCount(); ++i)
            inTree << order->child(i)->text(0);
        QCOMPARE(inTree, expected);

        std::vector<FileItemPtr> selection;
        BrowseList list(*environment_, selection, false);
        QVERIFY(list.showFolder(root() + "/tree/order"));
        QStringList inList;
        for (const FileItemPtr& item : list.items())
            inList << QString::fromStdString(item->name);
        QCOMPARE(inList, expected);
    }

    // The list of a browser with actions draws the same folder and file pictures as the tree,
    // with the mark of the action (lower right) and of a failure (lower left) over them.
    void listAndTreeShareOnePictureSetWithMarksOver() {
        const struct {
            ItemKind kind;
            ItemState state;
            bool failed, markRight, markLeft;
        } cases[] = {{kFolder, kPlain, false, false, false},
                     {kFolder, kExcluded, false, true, false},
                     {kFile, kAdd, false, true, false},
                     {kFile, kDelete, true, true, true}};
        auto image = [](const QIcon& icon) {
            return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        for (const auto& test : cases) {
            FileItem item;
            item.kind = test.kind;
            item.state = test.state;
            item.failed = test.failed;
            FileItem plain = item;
            plain.state = kPlain;
            plain.failed = false;
            const QImage marked = image(itemIcon(item, true));
            const QImage bare = image(itemIcon(plain, false));
            if (test.kind == kFolder)
                QCOMPARE(bare, image(folderIcon()));
            QCOMPARE(marked.copy(0, 0, 32, 16), bare.copy(0, 0, 32, 16));
            QCOMPARE(marked.copy(16, 16, 16, 16) != bare.copy(16, 16, 16, 16), test.markRight);
            QCOMPARE(marked.copy(0, 16, 16, 16) != bare.copy(0, 16, 16, 16), test.markLeft);
        }
    }

    void browseListSortsDeletesAndKeepsTheViewStyle() {
        std::vector<FileItemPtr> selection;
        BrowseList list(*environment_, selection, false);
        QVERIFY(list.showFolder(root() + "/tree"));
        auto names = [&list] {
            QStringList out;
            for (const FileItemPtr& item : list.items())
                out << QString::fromStdString(item->name);
            return out.join(QLatin1Char(' '));
        };
        QCOMPARE(names(), QStringLiteral("alpha beta empty big.bin file.txt"));
        list.setViewStyle(FileListView::Details);
        auto* header = list.findChild<QHeaderView*>();
        Q_EMIT header->sectionClicked(1);
        QCOMPARE(names(), QStringLiteral("alpha beta empty file.txt big.bin"));
        Q_EMIT header->sectionClicked(1);
        QCOMPARE(names(), QStringLiteral("empty beta alpha big.bin file.txt"));
        Q_EMIT header->sectionClicked(0);
        QCOMPARE(names(), QStringLiteral("alpha beta empty big.bin file.txt"));

        std::vector<FileItemPtr> otherSelection;
        BrowseList next(*environment_, otherSelection, false);
        QCOMPARE(next.viewStyle(), int(FileListView::Details));

        // Double click on a file says so and stays; the host selection follows Down after a moment.
        QAbstractItemView* view = list.currentView();
        view->setCurrentIndex(view->model()->index(4, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(frontEnd_.messages.back(), std::string("Please double click a folder to browse it"));
        QTest::keyClick(view, Qt::Key_Up);
        QTRY_COMPARE(selection.front()->name, std::string("big.bin"));
        QCOMPARE(selection.size(), std::size_t(1));

        frontEnd_.deleteAnswers = {DeleteAnswer::Yes};
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(frontEnd_.captions, std::vector<std::string>{"Delete File"});
        QCOMPARE(names(), QStringLiteral("alpha beta empty file.txt"));
        QVERIFY(selection.empty());
    }
};

VELMORA_QT_TEST(BrowseControlsTest)

} // namespace velmora::browse

#include "BrowseControlsTest.moc"
