#include "../browse/ScriptedFrontEnd.h"
#include "QtTestRegistry.h"
#include "app/ExclusionFilesModel.h"
#include "browse/BrowseEnvironment.h"
#include "browse/BrowseList.h"
#include "browse/FolderTree.h"
#include "platform/FileSystem.h"
#include "profiles/SettingsStore.h"
#include "views/ActionBrowseDlg.h"
#include "views/ActionCheckListDlg.h"
#include "views/ExclusionBrowseDlg.h"
#include "views/ExclusionFilesDlg.h"
#include "views/WildcardEntryDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace velmora::views {

class BrowseDialogsTest : public QObject {
    Q_OBJECT

    static FileItemPtr action(const std::string& path, ItemKind kind, ItemState state, bool failed = false) {
        auto item = makeItem(path);
        item->kind = kind;
        item->state = state;
        item->failed = failed;
        return item;
    }
    std::string root() const { return QFile::encodeName(dir_->path()).toStdString() + "/"; }
    void write(const char* relative) {
        QDir().mkpath(QFileInfo(dir_->filePath(QLatin1String(relative))).path());
        QFile file(dir_->filePath(QLatin1String(relative)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    static std::vector<std::string> names(const std::vector<FileItemPtr>& items) {
        std::vector<std::string> out;
        for (const FileItemPtr& item : items)
            out.push_back(item->name + (item->state == kExcluded ? "*" : ""));
        return out;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    test::ScriptedFrontEnd frontEnd_;
    std::unique_ptr<browse::BrowseEnvironment> environment_;

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        write("data/keep.txt");
        write("data/old.tmp");
        write("data/sub/inner.tmp");
        frontEnd_ = {};
        environment_ =
            std::make_unique<browse::BrowseEnvironment>(frontEnd_, platform::realFileSystem(), nullptr);
    }

    void actionBrowserRemovesOnlyOnOkAndWalksTheFolders() {
        const std::vector<FileItemPtr> original{action("/t/a.txt", kFile, kAdd),
                                                action("/t/deep/sub/b.txt", kFile, kDelete, true),
                                                action("/t/deep/sub/c.txt", kFile, kOverwrite)};
        std::vector<FileItemPtr> items = original;
        {
            ActionBrowseDlg dialog(items, "/t/deep/", true, false);
            dialog.fill();
            QCOMPARE(dialog.shownFolder(), std::string("/t/deep/"));
            auto* list = dialog.findChild<browse::FileListView*>();
            QCOMPARE(names(list->items()), std::vector<std::string>{"sub"});
            list->changeIntoFolder(list->items().front());
            QCOMPARE(names(list->items()), (std::vector<std::string>{"b.txt", "c.txt"}));
            list->selectItems({list->items().front()});
            dialog.removeSelected();
            QCOMPARE(names(list->items()), std::vector<std::string>{"c.txt"});
            dialog.upOneLevel();
            dialog.upOneLevel();
            QCOMPARE(dialog.shownFolder(), std::string("/t/"));
            dialog.reject();
        }
        QCOMPARE(items, original);
        ActionBrowseDlg dialog(items, "/elsewhere/", true, false);
        dialog.fill();
        QCOMPARE(dialog.shownFolder(), std::string("/t/")); // an unknown start shows the top
        dialog.findChild<browse::FileListView*>()->selectItems({items[0]});
        dialog.removeSelected();
        dialog.accept();
        QCOMPARE(items.size(), std::size_t(2));
        QCOMPARE(dialog.currentFolder(), std::string("/t/"));

        // The tree orders folders as the list orders names.
        std::vector<FileItemPtr> folders{action("/t/Zeta/a", kFile, kAdd), action("/t/docs/b", kFile, kAdd),
                                         action("/t/file10/c", kFile, kAdd),
                                         action("/t/file9/d", kFile, kAdd)};
        ActionBrowseDlg ordered(folders, "/t/", false, false);
        ordered.fill();
        QTreeWidgetItem* top = ordered.findChild<QTreeWidget*>(QStringLiteral("folderTree"))->topLevelItem(0);
        QStringList inTree;
        for (int i = 0; i < top->childCount(); ++i)
            inTree << top->child(i)->text(0);
        QStringList inList;
        for (const FileItemPtr& item : ordered.findChild<browse::FileListView*>()->items())
            inList << QString::fromStdString(item->name);
        QCOMPARE(inTree, (QStringList{QStringLiteral("docs"), QStringLiteral("file9"),
                                      QStringLiteral("file10"), QStringLiteral("Zeta")}));
        QCOMPARE(inList, inTree);
    }

    void browseAllRemovesFromTheCheckListOnlyOnOk() {
        CheckListSets sets;
        sets.filesToAdd = {action("/t/a.txt", kFile, kAdd), action("/t/b.txt", kFile, kAdd)};
        sets.foldersToDelete = {action("/t/old", kFolder, kDelete)};
        ActionListsModel model(sets);
        ActionCheckListDlg dialog(model);
        for (const bool ok : {false, true}) {
            QTimer::singleShot(0, [ok] {
                auto* browser = qobject_cast<ActionBrowseDlg*>(QApplication::activeModalWidget());
                QVERIFY(browser);
                browser->fill();
                auto* list = browser->findChild<browse::FileListView*>();
                list->selectItems({list->items().back()});
                browser->removeSelected();
                ok ? browser->accept() : browser->reject();
            });
            dialog.browseAllButton()->click();
        }
        QCOMPARE(model.sets().filesToAdd.size(), std::size_t(1));
        QCOMPARE(model.sets().filesToAdd.front()->name, std::string("a.txt"));
        QCOMPARE(model.sets().foldersToDelete.size(), std::size_t(1));
    }

    // The action browser opens in the remembered view style with the configured date order, and a
    // folder the user removes leaves the list and the item count.
    void actionBrowserKeepsTheRememberedLookAndDropsARemovedFolder() {
        SettingsStore settings(root() + "settings.conf");
        settings.writeNumber("BrowseStyle", browse::FileListView::Details);
        settings.writeNumber("ddmmyy", 0);
        const browse::BrowseEnvironment program(frontEnd_, platform::realFileSystem(), &settings);
        CheckListSets sets;
        sets.filesToAdd = {action("/t/a.txt", kFile, kAdd)};
        sets.filesToAdd.front()->date.set(7, 12, 2008);
        sets.filesToAdd.front()->time.set(14, 5, 9);
        sets.foldersToDelete = {action("/t/old", kFolder, kDelete)};
        ActionListsModel model(sets);
        ActionCheckListDlg checkList(model);
        QTimer::singleShot(0, [] {
            auto* browser = qobject_cast<ActionBrowseDlg*>(QApplication::activeModalWidget());
            QVERIFY(browser);
            // A failed check leaves the lambda early: the browser must not stay open then.
            auto close = qScopeGuard([browser] { browser->done(QDialog::Rejected); });
            auto* list = browser->findChild<browse::FileListView*>();
            QTRY_COMPARE(list->items().size(), std::size_t(2));
            QCOMPARE(list->viewStyle(), int(browse::FileListView::Details));
            QAbstractItemView* view = list->currentView();
            QCOMPARE(view->model()->index(1, 2).data().toString(), QStringLiteral("12/07/08  14:05:09"));
            auto* status = browser->findChild<QLabel*>(QStringLiteral("status"));
            QCOMPARE(status->text(), QStringLiteral("2 items in /t/"));
            QVERIFY(QTest::qWaitForWindowExposed(browser));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(0, 0)).center());
            QCOMPARE(list->items().front()->name, std::string("old"));
            browser->findChild<QPushButton*>(QStringLiteral("remove"))->click();
            QCOMPARE(names(list->items()), std::vector<std::string>{"a.txt"});
            QCOMPARE(status->text(), QStringLiteral("1 items in /t/"));
            browser->findChild<QTreeWidget*>(QStringLiteral("folderTree"))->expandAll();
            QCOMPARE(
                browser->findChild<QTreeWidget*>(QStringLiteral("folderTree"))->topLevelItem(0)->childCount(),
                0);
            close.dismiss();
            browser->accept();
        });
        checkList.browseAllButton()->click();
        QVERIFY(model.sets().foldersToDelete.empty());
    }

    void exclusionBrowserMarksAddsAndHandsBackOnOk() {
        ExclusionSet set;
        set.addWildcard("*.tmp");
        set.finish();
        ExclusionBrowseDlg dialog(*environment_, root() + "data", &set, false);
        dialog.fill();
        browse::BrowseList* list = dialog.list();
        QCOMPARE(list->folderPath(), root() + "data/");
        QCOMPARE(names(list->items()), (std::vector<std::string>{"sub", "keep.txt", "old.tmp*"}));
        // A file a wildcard covers stays marked and adds nothing.
        list->selectItems({list->items()[2]});
        dialog.addSelected();
        QCOMPARE(dialog.working().explicitEntries().size(), std::size_t(0));
        // Entries still selected at OK are excluded without pressing Add.
        list->selectItems({list->items()[0], list->items()[1]});
        dialog.removeSelected();
        dialog.accept();
        QCOMPARE(set.explicitEntries().size(), std::size_t(2));
        QVERIFY(set.isExcluded(root() + "data/keep.txt"));
        QCOMPARE(dialog.currentFolder(), root() + "data/");

        // Cancel keeps the set; with an empty start the browse begins at "/".
        ExclusionSet untouched;
        ExclusionBrowseDlg plain(*environment_, "", &untouched, false);
        plain.fill();
        QCOMPARE(plain.list()->folderPath(), std::string("/"));
        plain.list()->selectItems({plain.list()->items().front()});
        plain.reject();
        QVERIFY(untouched.empty());
    }

    void enterInTheExclusionTreeOpensTheFolderAndKeepsTheDialog() {
        ExclusionSet set;
        ExclusionBrowseDlg dialog(*environment_, root() + "data", &set, false);
        dialog.fill();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.list()->selectItems({dialog.list()->items()[1]});
        browse::FolderTree* tree = dialog.tree();
        QTreeWidgetItem* data = tree->currentItem();
        data->setExpanded(false);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(data).center());
        QVERIFY(tree->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(data->isExpanded());
        QVERIFY(set.empty());
        dialog.reject();
    }

    // The Delete key in the list does what the Delete button does: the tree drops the folder too.
    void deleteKeyInTheListUpdatesTheTreeLikeTheButton() {
        write("data/other/x.txt");
        ExclusionSet set;
        ExclusionBrowseDlg dialog(*environment_, root() + "data", &set, false);
        dialog.fill();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        browse::FolderTree* tree = dialog.tree();
        QTreeWidgetItem* data = tree->currentItem();
        data->setExpanded(true);
        QCOMPARE(data->childCount(), 2);
        QAbstractItemView* view = dialog.list()->currentView();
        const QModelIndex sub = view->model()->index(1, 0);
        QCOMPARE(sub.data().toString(), QStringLiteral("sub"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(sub).center());
        QVERIFY(view->hasFocus());
        frontEnd_.deleteAnswers = {DeleteAnswer::Yes};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(frontEnd_.captions, std::vector<std::string>{"Delete Folder"});
        QVERIFY(!QDir(dir_->filePath(QStringLiteral("data/sub"))).exists());
        data = tree->currentItem();
        QCOMPARE(data->childCount(), 1);
        QCOMPARE(data->child(0)->text(0), QStringLiteral("other"));
        dialog.reject();
    }

    // F2 on the highlighted folder, a new name and Enter: the list goes on showing that folder
    // under its new name, with no complaint about the old one, and the dialog stays open.
    void renamingTheShownFolderInTheTreeMovesTheListWithIt() {
        ExclusionSet set;
        ExclusionBrowseDlg dialog(*environment_, root() + "data/sub", &set, false);
        dialog.fill();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        browse::FolderTree* tree = dialog.tree();
        const QRect sub = tree->visualItemRect(tree->currentItem());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(sub.left() + 20, sub.center().y()));
        QVERIFY(tree->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("moved"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(dialog.list()->folderPath(), root() + "data/moved/");
        QVERIFY(frontEnd_.messages.empty());
        QCOMPARE(names(dialog.list()->items()), std::vector<std::string>{"inner.tmp"});
        QCOMPARE(tree->selectedPath(), root() + "data/moved");
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("currentDirectory"))->text(),
                 QString::fromStdString(root() + "data/moved/"));
        QVERIFY(dialog.isVisible());

        // The same keys on a name in the list rename the file and keep the dialog open too.
        QAbstractItemView* view = dialog.list()->currentView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("kept.tmp"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(names(dialog.list()->items()), std::vector<std::string>{"kept.tmp"});
        QVERIFY(dialog.isVisible());
        QVERIFY(set.empty());
        dialog.reject();
    }

    // Dot-folders stay out of the tree and the list until "Show hidden" in the list's right-click
    // menu is checked; the choice is remembered. The menu's Open goes into the folder clicked.
    void hiddenEntriesShowOnlyWhenAskedAndTheMenuActs() {
        write("data/.secret/x.txt");
        write("data/.profile");
        SettingsStore settings(root() + "settings.conf");
        browse::BrowseEnvironment program(frontEnd_, platform::realFileSystem(), &settings);
        ExclusionSet set;
        ExclusionBrowseDlg dialog(program, root() + "data", &set, false);
        dialog.fill();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        browse::BrowseList* list = dialog.list();
        auto treeChildren = [&dialog] {
            QStringList out;
            for (int i = 0; i < dialog.tree()->currentItem()->childCount(); ++i)
                out << dialog.tree()->currentItem()->child(i)->text(0);
            return out;
        };
        dialog.tree()->currentItem()->setExpanded(true);
        QCOMPARE(names(list->items()), (std::vector<std::string>{"sub", "keep.txt", "old.tmp"}));
        QCOMPARE(treeChildren(), QStringList{QStringLiteral("sub")});

        auto chooseFromMenu = [](const QString& text) {
            QTimer::singleShot(50, [text] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction* action : menu->actions())
                    if (action->text() == text) {
                        menu->setActiveAction(action);
                        QTest::keyClick(menu, Qt::Key_Return);
                        return;
                    }
                menu->close();
                QFAIL(qPrintable(text));
            });
        };
        QAbstractItemView* view = list->currentView();
        const QPoint keep = view->visualRect(view->model()->index(1, 0)).center();
        chooseFromMenu(QStringLiteral("Show &hidden"));
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, keep, view->viewport()->mapToGlobal(keep));
        QApplication::sendEvent(view->viewport(), &rightClick);
        QCOMPARE(names(list->items()),
                 (std::vector<std::string>{".secret", "sub", ".profile", "keep.txt", "old.tmp"}));
        QCOMPARE(treeChildren(), (QStringList{QStringLiteral(".secret"), QStringLiteral("sub")}));
        QCOMPARE(browse::BrowseEnvironment(frontEnd_, platform::realFileSystem(), &settings).showHidden(),
                 true);

        const QPoint secret = view->visualRect(view->model()->index(0, 0)).center();
        chooseFromMenu(QStringLiteral("&Open"));
        QContextMenuEvent onSecret(QContextMenuEvent::Mouse, secret, view->viewport()->mapToGlobal(secret));
        QApplication::sendEvent(view->viewport(), &onSecret);
        QCOMPARE(list->folderPath(), root() + "data/.secret/");
        QVERIFY(frontEnd_.messages.empty());
        dialog.reject();
    }

    void homeFolderIsShownAsHomeWithItsPath() {
        browse::FolderTree tree(*environment_);
        tree.reload();
        QTreeWidgetItem* computer = tree.topLevelItem(0);
        computer->setExpanded(true);
        QTreeWidgetItem* home = nullptr;
        for (int i = 0; i < computer->childCount(); ++i)
            if (browse::FolderTree::kindOf(computer->child(i)) == browse::FolderTree::Home)
                home = computer->child(i);
        if (QDir::homePath() == QStringLiteral("/"))
            QSKIP("the home folder is the root here");
        QVERIFY(home != nullptr);
        QCOMPARE(home->text(0), QStringLiteral("Home"));
        QCOMPARE(home->toolTip(0), QDir::homePath());
    }

    void exclusionFilesFindsLostEntriesAndRemovesThem() {
        ExclusionSet set;
        set.addExplicit(root() + "data/keep.txt");
        set.addExplicit(root() + "data/gone.txt");
        set.finish();
        std::string browseFolder;
        ExclusionFilesModel model(set, platform::realFileSystem(), browseFolder);
        ExclusionFilesDlg dialog(model, *environment_, false);
        auto* lost = dialog.findChild<QPushButton*>(QStringLiteral("lostFiles"));
        auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("remove"));
        QVERIFY(!lost->isHidden());
        QVERIFY(!remove->isEnabled());
        lost->click();
        QCOMPARE(dialog.explicitList()->selectedItems().size(), 1);
        QCOMPARE(dialog.explicitList()->selectedItems().front()->text(),
                 QString::fromStdString(root() + "data/gone.txt"));
        QVERIFY(remove->isEnabled());
        remove->click();
        QCOMPARE(dialog.explicitList()->count(), 1);
        lost->click();
        QCOMPARE(dialog.explicitList()->selectedItems().size(), 0);
        QCOMPARE(model.working().explicitEntries().size(), std::size_t(1));
    }

    void wildcardEntryPutsTheChosenFolderBeforeThePattern() {
        std::string browseFolder = root() + "data/";
        WildcardEntryDlg dialog(*environment_, browseFolder, false);
        QTimer::singleShot(0, [] {
            auto* folders = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(folders);
            folders->accept();
        });
        dialog.browseFolders();
        QCOMPARE(dialog.field()->text(), QString::fromStdString(root() + "data/"));
        QCOMPARE(dialog.field()->cursorPosition(), dialog.field()->text().size());
        dialog.field()->insert(QStringLiteral("*.bak"));
        browseFolder = "/changed/";
        dialog.accept();
        QCOMPARE(dialog.text(), root() + "data/*.bak");
        QCOMPARE(browseFolder, root() + "data/");
    }
};

VELMORA_QT_TEST(BrowseDialogsTest)

} // namespace velmora::views

#include "BrowseDialogsTest.moc"
