// Renders every window of the desktop program into PNG files, for looking at them as a user
// would: `velmora-screenshots OUTPUT_FOLDER SUFFIX [--dark]`, with QT_SCALE_FACTOR for the scale.
// scripts/screenshots.sh runs it at 100 % and 200 % and in a dark palette.
#include "Shots.h"
#include "app/ExclusionFilesModel.h"
#include "browse/BrowseEnvironment.h"
#include "browse/BrowseList.h"
#include "browse/ConnectServerDlg.h"
#include "browse/DirectoryNameDlg.h"
#include "browse/FolderDlg.h"
#include "browse/FolderTree.h"
#include "browse/PropertiesDlg.h"
#include "desktop/MainWindow.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"
#include "views/ActionBrowseDlg.h"
#include "views/ActionLegendDlg.h"
#include "views/ExclusionBrowseDlg.h"
#include "views/ExclusionFilesDlg.h"
#include "views/WildcardEntryDlg.h"
#include "widgets/IndicatorStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <iostream>
#include <vector>

namespace {

using namespace velmora;

QPalette darkPalette() {
    QPalette palette;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), disabled(130, 130, 130);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(90, 160, 240));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

// The home folder of an example user, with a few folders of what people keep and a profile that
// backs up their documents. The folder trees show this home instead of the machine's own, and it
// lies at a fixed place, so that the pictures show the same paths each time they are made:
// $VELMORA_EXAMPLE_HOME (scripts/screenshots.sh gives /home/robin on an empty /home of the
// program's own), else a folder in the temporary folder.
QString exampleHome() {
    const QString given = qEnvironmentVariable("VELMORA_EXAMPLE_HOME");
    return given.isEmpty() ? QDir::temp().filePath(QStringLiteral("velmora-example/robin")) : given;
}

struct Example {
    QDir root{exampleHome()};
    std::string profile;

    Example() {
        root.removeRecursively();
        for (const char* folder : {"Documents/letters", "Documents/taxes", "Photos/2025 Holiday",
                                   "Photos/Family", "Projects/garden-planner/src", "Music", "Backup"})
            root.mkpath(QString::fromLatin1(folder));
        for (const char* name :
             {"Documents/readme.txt", "Documents/letters/one.txt", "Documents/letters/two.txt",
              "Documents/taxes/2025.pdf", "Photos/2025 Holiday/beach.jpg", "Photos/Family/birthday.jpg",
              "Projects/garden-planner/notes.md", "Projects/garden-planner/src/main.py"}) {
            QFile file(root.filePath(QString::fromLatin1(name)));
            file.open(QIODevice::WriteOnly);
            file.write("example\n");
        }
        profile = root.filePath(QStringLiteral("Documents backup.vmp")).toStdString();
        QFile file(QString::fromStdString(profile));
        file.open(QIODevice::WriteOnly);
        file.write(
            ("velmora_version=1.09\r\nlocation1=" + root.filePath(QStringLiteral("Documents")).toStdString() +
             "/\r\nlocation2=" + root.filePath(QStringLiteral("Backup")).toStdString() +
             "/\r\ncheck_actions=1\r\nexclusions=\r\nend_exclusions\r\nwildcard_exclusions=\r\n"
             "end_wildcard_exclusions\r\n")
                .c_str());
    }
};

// Grabs `window` once the next modal dialog is open (the window is then in the state that
// dialog belongs to), then closes that dialog with `answer`.
void grabDuringNextDialog(Shots& shots, QWidget& window, const QString& name, int answer) {
    QTimer::singleShot(300, &window, [&shots, &window, name, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            grabDuringNextDialog(shots, window, name, answer);
            return;
        }
        shots.save(window, name);
        dialog->done(answer);
    });
}

void mainWindow(Shots& shots) {
    Example example;
    QTemporaryDir settingsFolder;
    platform::PosixFileSystem fileSystem;
    SettingsStore settings(
        QDir(settingsFolder.path()).filePath(QStringLiteral("Velmora.conf")).toStdString());
    desktop::MainWindow window(fileSystem, settings);
    window.startUp("");
    window.show();
    QApplication::processEvents();
    shots.save(window, QStringLiteral("main-window-empty"));

    window.controller().openFile(example.profile);
    window.refresh();
    QApplication::processEvents();
    shots.save(window, QStringLiteral("main-window"));

    // The large arrows without text, in silent mode.
    GeneralSettings general = window.controller().general();
    general.showNoTextButtons = true;
    window.controller().configurationAccepted(general);
    window.controller().setOption(OptionBox::SilentMode, true);
    window.refresh();
    QApplication::processEvents();
    shots.save(window, QStringLiteral("main-window-large-arrows-silent"));
    general.showNoTextButtons = false;
    window.controller().configurationAccepted(general);
    window.controller().setOption(OptionBox::SilentMode, false);
    window.controller().setOption(OptionBox::CheckActions, true);
    window.refresh();

    // A run that waits at its check-list shows the running frame and the progress area.
    grabDuringNextDialog(shots, window, QStringLiteral("main-window-running"), QDialog::Rejected);
    window.controller().synchronise(Direction::OneToTwo);
}

// A front end for windows shown outside a run: messages go to the terminal, questions say No.
class QuietFrontEnd : public FrontEndPort {
public:
    void pump() override {}
    void message(const std::string& text) override { std::cerr << text << '\n'; }
    bool question(const std::string&) override { return false; }
    bool cautiousQuestion(const std::string&) override { return false; }
    DeleteAnswer confirmDelete(const std::string&, const std::array<std::string, 4>&) override {
        return DeleteAnswer::Cancel;
    }
    bool checkList(CheckListSets&) override { return false; }
    void report(const SyncResults&) override {}
    void progress(const ProgressView&) override {}
    void runningChanged(RunningState) override {}
};

FileItemPtr plannedAction(const std::string& path, ItemKind kind, ItemState state, bool failed = false) {
    FileItemPtr item = makeItem(path);
    item->kind = kind;
    item->state = state;
    item->failed = failed;
    item->size = kind == kFile ? 48213 : 0;
    item->date.set(9, 12, 2026);
    item->time.set(10, 24, 0);
    return item;
}

// Shows the folder `relative` to the home folder the way a user reaches it through Computer and
// Home, with the root folder closed: the trees then show the example user's folders, not the
// folders of the machine the pictures are made on.
void showUnderHome(browse::FolderTree& tree, const QString& relative) {
    using browse::FolderTree;
    QTreeWidgetItem* computer = tree.topLevelItem(0);
    QTreeWidgetItem* at = nullptr;
    for (int i = 0; i < computer->childCount(); ++i) {
        QTreeWidgetItem* place = computer->child(i);
        if (FolderTree::kindOf(place) == FolderTree::Root)
            place->setExpanded(false);
        else if (FolderTree::kindOf(place) == FolderTree::Home)
            at = place;
    }
    if (at == nullptr)
        return;
    const QStringList names = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        at->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < at->childCount() && next == nullptr; ++i)
            if (at->child(i)->text(0) == name)
                next = at->child(i);
        if (next == nullptr)
            break;
        at = next;
    }
    tree.setCurrentItem(at);
    tree.scrollToItem(at);
}

// The browsing controls and the dialogs built on them, each in use over the example folders.
void browseWindows(Shots& shots) {
    Example example;
    for (const char* name : {"Documents/notes.tmp", "Documents/budget.ods", "Documents/letters/three.txt"}) {
        QFile file(example.root.filePath(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
        file.write("example text\n");
    }
    QTemporaryDir settingsFolder;
    platform::PosixFileSystem fileSystem;
    SettingsStore settings(
        QDir(settingsFolder.path()).filePath(QStringLiteral("Velmora.conf")).toStdString());
    QuietFrontEnd frontEnd;
    browse::BrowseEnvironment environment(frontEnd, fileSystem, &settings);
    // Servers as a user who keeps backups on two machines sees them; nothing is reached.
    environment.remote.connect = [](const std::string&) { return std::string(); };
    environment.remote.shares = [](const std::string&, std::vector<RemoteShare>& out) {
        out = {{"media", "Films and music"}, {"photos", "Family photos"}};
        return 0;
    };
    environment.remote.recentLocations = [] {
        return std::vector<std::string>{"sftp://robin@backup/~/Documents/", "smb://nas/photos/"};
    };
    const std::string documents = example.root.filePath(QStringLiteral("Documents")).toStdString();
    const std::string backup = example.root.filePath(QStringLiteral("Backup")).toStdString();
    auto shoot = [&shots](QWidget& window, const char* name) {
        window.show();
        QApplication::processEvents();
        shots.save(window, QString::fromLatin1(name));
    };
    {
        browse::FolderDlg dialog(environment, QStringLiteral("Select Folder Location 1"),
                                 documents + "/letters");
        showUnderHome(*dialog.tree(), QStringLiteral("Documents/letters"));
        shoot(dialog, "folder-dialog");
    }
    {
        browse::FolderDlg dialog(environment, QStringLiteral("Select Folder Location 2"), "smb://nas/");
        shoot(dialog, "folder-dialog-network");
    }
    {
        browse::ConnectServerDlg dialog;
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("sftp://robin@backup"));
        shoot(dialog, "connect-server");
    }
    {
        browse::DirectoryNameDlg dialog;
        dialog.field()->setText(QStringLiteral("Photos 2026"));
        shoot(dialog, "directory-name");
    }
    {
        browse::PropertiesDlg dialog(documents, fileSystem);
        shoot(dialog, "properties");
    }
    ExclusionSet set;
    set.addExplicit(documents + "/budget.ods");
    set.addExplicit(documents + "/old report.doc");
    set.addWildcard("*.tmp");
    set.addWildcard(documents + "/letters/*.bak");
    set.finish();
    {
        std::string browseFolder;
        ExclusionFilesModel model(set, fileSystem, browseFolder);
        views::ExclusionFilesDlg dialog(model, environment, true);
        dialog.findChild<QPushButton*>(QStringLiteral("lostFiles"))->click();
        shoot(dialog, "exclusion-files");
    }
    {
        ExclusionSet edited = set;
        views::ExclusionBrowseDlg dialog(environment, documents, &edited, true);
        dialog.show();
        dialog.fill();
        showUnderHome(*dialog.tree(), QStringLiteral("Documents"));
        dialog.list()->setViewStyle(browse::FileListView::Details);
        dialog.list()->selectItems({dialog.list()->items().back()});
        shoot(dialog, "exclusion-browse");
        dialog.list()->setViewStyle(browse::FileListView::LargeIcons);
        shoot(dialog, "exclusion-browse-icons");
        dialog.list()->setViewStyle(browse::FileListView::List);
    }
    {
        std::string folder = documents + "/";
        views::WildcardEntryDlg dialog(environment, folder, true);
        dialog.field()->setText(QString::fromStdString(documents + "/*.tmp"));
        shoot(dialog, "wildcard-entry");
    }
    {
        std::vector<FileItemPtr> items{plannedAction(backup + "/readme.txt", kFile, kOverwrite),
                                       plannedAction(backup + "/budget.ods", kFile, kAdd),
                                       plannedAction(backup + "/old.txt", kFile, kDelete, true),
                                       plannedAction(backup + "/letters", kFolder, kAdd),
                                       plannedAction(backup + "/letters/one.txt", kFile, kAdd),
                                       plannedAction(backup + "/drafts", kFolder, kDelete)};
        views::ActionBrowseDlg dialog(items, backup + "/", true, true);
        dialog.show();
        dialog.fill();
        dialog.findChild<browse::FileListView*>()->setViewStyle(browse::FileListView::Details);
        shoot(dialog, "action-browse");
    }
    {
        views::ActionLegendDlg dialog;
        shoot(dialog, "action-legend");
    }
}

} // namespace

int main(int argc, char** argv) {
    // The example user's home, before anything asks where home is.
    QDir().mkpath(exampleHome());
    qputenv("HOME", exampleHome().toLocal8Bit());
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3) {
        std::cerr << "usage: velmora-screenshots OUTPUT_FOLDER SUFFIX [--dark]\n";
        return 64;
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    widgets::useVisibleIndicators();
    if (arguments.contains(QStringLiteral("--dark")))
        QApplication::setPalette(darkPalette());
    Shots shots{arguments[1], arguments[2]};
    QDir().mkpath(shots.folder);

    const std::vector<std::function<void(Shots&)>> windows{mainWindow, browseWindows, dialogWindows};
    for (const auto& render : windows)
        render(shots);
    std::cout << shots.saved << " pictures in " << shots.folder.toStdString() << '\n';
    return 0;
}
