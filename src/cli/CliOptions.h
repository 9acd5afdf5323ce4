#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// What the command line asked for. Paths are kept as typed.
struct CliOptions {
    enum class Mode { Run, Help, Version };
    Mode mode = Mode::Run;

    // Either a profile or batch file, or a source and a target folder.
    std::string file;
    std::string source;
    std::string target;
    bool oneOff() const { return file.empty(); }

    // Both forms.
    bool dryRun = false;
    bool yes = false;
    bool quiet = false;
    bool verbose = false;
    std::optional<std::uint64_t> maxDelete;
    bool allowEmptySource = false;
    std::optional<int> direction; // 1: Location 1 to 2, 2: Location 2 to 1
    std::string settingsPath;     // empty: the default settings file
    std::optional<std::uint32_t> timeDifference;
    std::optional<std::uint32_t> timeout;
    std::optional<std::uint32_t> jobs; // file commands in flight
    bool acceptNewHostKey = false;
    std::string sshDir;          // empty: ~/.ssh
    std::string credentialsFile; // user, password and domain for shares

    // A run from SOURCE to TARGET: the fields of the profile it makes.
    bool check = false;
    bool confirmDeletes = false;
    bool noAdd = false;
    bool noDelete = false;
    bool noSubFolders = false;
    bool compareOnSize = false;
    std::int32_t adjustHours = 0;
    std::int32_t adjustMinutes = 0;
    bool overwriteReadOnly = false;
    bool copyAttributes = false;
    std::vector<std::string> excludes;
    std::vector<std::string> excludeWildcards;
    std::string logPath;
    bool logAppend = false;
    std::string saveProfile;
    std::optional<int> autoStart; // the saved profile's: 1 Location 1 to 2, 2 Location 2 to 1
};

struct ParseResult {
    CliOptions options;
    std::string error; // empty when the command line is good
};

// GNU-style parsing of the arguments after the program name: long options as --name or
// --name=value (or the value as the next argument), short options -n -y -q (also bundled, -nyq)
// and -j N,
// "--" ends the options. Every mistake is named in `error`.
ParseResult parseArguments(const std::vector<std::string>& args);

// The text --help prints.
std::string usageText();

} // namespace velmora::cli
