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

// The text of "--help".
std::string usageText();

} // namespace velmora::desktop
