#include "desktop/CommandLine.h"
#include "desktop/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace velmora::desktop;
    // --help and --version answer on the terminal, before anything needs a display.
    const CommandLine line = parseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    if (line.help) {
        std::cout << usageText();
        return 0;
    }
    if (line.version) {
        std::cout << "velmora " << VELMORA_VERSION << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1))
        arguments.push_back(QFile::encodeName(argument).toStdString());
    const std::string file = parseCommandLine(arguments).file;
    MainWindow window;
    window.show();
    return QApplication::exec();
}
