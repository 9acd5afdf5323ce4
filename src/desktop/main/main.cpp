#include "desktop/CommandLine.h"
#include "desktop/MainWindow.h"
#include "desktop/RemoteLogins.h"
#include "engine/FileCommand.h"
#include "platform/Environment.h"
#include "platform/PosixFileSystem.h"
#include "platform/StopSignals.h"
#include "platform/Threads.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "remote/RoutingFileSystem.h"
#include "smb/SmbFileSystem.h"
#include "widgets/ActionIcons.h"
#include "widgets/IndicatorStyle.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace velmora;
    using namespace velmora::desktop;
    // --help and --version answer on the terminal, before anything needs a display.
    const CommandLine line = parseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    if (line.help) {
        std::cout << usageText();
        return 0;
    }
    if (line.version) {
        std::cout << "velmora " << VELMORA_VERSION << " (profile and batch files version "
                  << versionText(Profile::kFileVersion) << ")\n";
        return 0;
    }

    // Without a display the toolkit would abort with a core dump; say what to do instead.
    if (!hasDisplay(platform::environmentValue("DISPLAY").c_str(),
                    platform::environmentValue("WAYLAND_DISPLAY").c_str(),
                    platform::environmentValue("QT_QPA_PLATFORM").c_str(), {argv, argv + argc})) {
        std::cerr << "velmora: no display to open the window on (DISPLAY is not set).\n"
                     "Run profiles without a window with velmora-cli.\n";
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // The desktop pairs the window with its menu entry (and so its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
    QApplication::setWindowIcon(widgets::programIcon());
    widgets::useVisibleIndicators();
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1))
        arguments.push_back(QFile::encodeName(argument).toStdString());

    // A file command abandoned by Stop or its timeout may still be inside the file system when
    // the window closes, so the file system lives as long as the process.
    static auto* local = new platform::PosixFileSystem();
    static auto* fileSystem = new remote::RoutingFileSystem(*local);
    SettingsStore settings(SettingsStore::defaultFilePath());
    MainWindow window(*fileSystem, settings);
    window.setLocationOpener(remoteLocationOpener(*fileSystem, &window));
    window.setRemoteBrowsing(
        {remoteLocationOpener(*fileSystem, &window, true),
         remoteShareLister(*fileSystem),
         [](std::vector<std::string>& servers) { return smb::browseServers(5, servers); },
         {}});
    QObject::connect(&window, &QDialog::finished, &application, &QCoreApplication::quit);
    // A logout, a service manager or kill asks the program to end: the run going on stops and
    // writes its log first. The signal only writes to a pipe; the event loop (which a run pumps)
    // does the rest.
    static std::atomic<int> stopSignal{0};
    int wakePipe[2] = {-1, -1};
    if (platform::makeWakePipe(wakePipe)) {
        platform::routeStopSignals(&stopSignal, wakePipe[1]);
        auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier, wakePipe] {
            if (const int signal = platform::readWakePipe(wakePipe[0]); signal != 0) {
                notifier->setEnabled(false);
                window.endFromOutside(signal);
            }
        });
    }
    window.startUp(pathToOpen(parseCommandLine(arguments).file));
    window.show();
    const int status = QApplication::exec();
    // Copies given up on Stop or their timeout remove their temporary files when their call
    // returns: give them that moment, but never hang on a share that does not answer.
    FileCommands::settle(std::chrono::seconds(2));
    // The toolkit keeps threads of its own to the end: wait only for workers that used a server.
    if (fileSystem->hasServers())
        platform::waitForOtherThreads(std::chrono::milliseconds(500));
    return status;
}
