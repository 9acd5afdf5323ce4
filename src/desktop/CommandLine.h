#pragma once

#include <string>
#include <vector>

namespace velmora::desktop {

// What `velmora [OPTIONS] [FILE]` asks for. Only "-" begins an option: "/" begins a path.
struct CommandLine {
    std::string file; // the first argument not beginning with "-"; empty for none
    bool help = false;
    bool version = false;
};

// The arguments after the program's name. Other options are ignored; read the file from the
// arguments the toolkit leaves, so that the value of one of its options (e.g. "-platform
// offscreen") is not taken for the file.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The file named on the command line as it is opened and remembered: a file that exists by its
// absolute path, so that the recent files still find it from another folder; anything else as
// given.
std::string pathToOpen(const std::string& file);

// Whether the toolkit has somewhere to show the window: an X or Wayland display, or a platform
// chosen by QT_QPA_PLATFORM or "-platform". Null for an unset variable.
bool hasDisplay(const char* display, const char* waylandDisplay, const char* platform,
                const std::vector<std::string>& arguments);

// The text of "--help".
std::string usageText();

} // namespace velmora::desktop
