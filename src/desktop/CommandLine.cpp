#include "desktop/CommandLine.h"

#include <filesystem>

namespace velmora::desktop {

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            line.help = true;
        else if (argument == "--version")
            line.version = true;
        else if (line.file.empty() && !argument.empty() && argument.front() != '-')
            line.file = argument;
    }
    return line;
}

std::string pathToOpen(const std::string& file) {
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error))
        return file;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return error ? file : absolute.lexically_normal().string();
}

bool hasDisplay(const char* display, const char* waylandDisplay, const char* platform,
                const std::vector<std::string>& arguments) {
    const auto set = [](const char* value) { return value && *value; };
    if (set(display) || set(waylandDisplay) || set(platform))
        return true;
    for (const std::string& argument : arguments)
        if (argument == "-platform" || argument.starts_with("-platform="))
            return true;
    return false;
}

std::string usageText() {
    return "Usage: velmora [FILE]\n"
           "Opens the desktop program on a profile (.vmp) or batch file (.vmb).\n"
           "A profile with automatic start, or a batch file, starts running half a second after\n"
           "the window shows; without FILE the profile used last is opened, and never started.\n"
           "\n"
           "  -h, --help     show this text and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "The command line program velmora-cli runs profiles without a window.\n";
}

} // namespace velmora::desktop
