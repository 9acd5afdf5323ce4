#include "cli/CliOptions.h"

#include "profiles/FileKind.h"

#include <charconv>
#include <functional>
#include <limits>

namespace velmora::cli {

namespace {

using Setter = std::function<std::string(CliOptions&, const std::string& value)>;

// Which form of the command an option belongs to.
enum class Scope { Both, OneOff, File };

struct OptionSpec {
    const char* name; // without the leading "--"
    char shortName;   // 0 when there is none
    bool takesValue;
    Scope scope;
    Setter set;
};

template <typename Number>
std::string parseNumber(const std::string& option, const std::string& text, Number& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (!text.empty() && text[0] == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, out);
    if (text.empty() || first == last || error != std::errc() || end != last) {
        if (error == std::errc::result_out_of_range)
            return "--" + option + ": '" + text + "' is out of range";
        return "--" + option + ": '" + text + "' is not a whole number";
    }
    return {};
}

template <typename Number>
Setter numberInto(const char* option, std::optional<Number> CliOptions::*field) {
    return [option, field](CliOptions& options, const std::string& value) {
        Number number{};
        std::string error = parseNumber(option, value, number);
        if (error.empty())
            options.*field = number;
        return error;
    };
}

Setter numberInto(const char* option, std::int32_t CliOptions::*field) {
    return [option, field](CliOptions& options, const std::string& value) {
        return parseNumber(option, value, options.*field);
    };
}

Setter flag(bool CliOptions::*field) {
    return [field](CliOptions& options, const std::string&) {
        options.*field = true;
        return std::string();
    };
}

Setter text(const char* option, std::string CliOptions::*field) {
    return [option, field](CliOptions& options, const std::string& value) {
        if (value.empty())
            return "--" + std::string(option) + " needs a non-empty value";
        options.*field = value;
        return std::string();
    };
}

Setter appendTo(const char* option, std::vector<std::string> CliOptions::*field) {
    return [option, field](CliOptions& options, const std::string& value) {
        if (value.empty())
            return "--" + std::string(option) + " needs a non-empty value";
        (options.*field).push_back(value);
        return std::string();
    };
}

Setter directionInto(const char* option, std::optional<int> CliOptions::*field) {
    return [option, field](CliOptions& options, const std::string& value) {
        if (value == "1to2")
            options.*field = 1;
        else if (value == "2to1")
            options.*field = 2;
        else
            return "--" + std::string(option) + ": '" + value + "' is neither 1to2 nor 2to1";
        return std::string();
    };
}

const std::vector<OptionSpec>& optionTable() {
    static const std::vector<OptionSpec> table = {
        {"help", 'h', false, Scope::Both,
         [](CliOptions& o, const std::string&) {
             o.mode = CliOptions::Mode::Help;
             return std::string();
         }},
        {"version", 0, false, Scope::Both,
         [](CliOptions& o, const std::string&) {
             o.mode = CliOptions::Mode::Version;
             return std::string();
         }},
        {"dry-run", 'n', false, Scope::Both, flag(&CliOptions::dryRun)},
        {"yes", 'y', false, Scope::Both, flag(&CliOptions::yes)},
        {"quiet", 'q', false, Scope::Both, flag(&CliOptions::quiet)},
        {"verbose", 'v', false, Scope::Both, flag(&CliOptions::verbose)},
        {"max-delete", 0, true, Scope::Both, numberInto("max-delete", &CliOptions::maxDelete)},
        {"allow-empty-source", 0, false, Scope::Both, flag(&CliOptions::allowEmptySource)},
        {"direction", 0, true, Scope::File, directionInto("direction", &CliOptions::direction)},
        {"settings", 0, true, Scope::Both, text("settings", &CliOptions::settingsPath)},
        {"accept-new-host-key", 0, false, Scope::Both, flag(&CliOptions::acceptNewHostKey)},
        {"ssh-dir", 0, true, Scope::Both, text("ssh-dir", &CliOptions::sshDir)},
        {"credentials", 0, true, Scope::Both, text("credentials", &CliOptions::credentialsFile)},
        {"time-difference", 0, true, Scope::Both, numberInto("time-difference", &CliOptions::timeDifference)},
        {"timeout", 0, true, Scope::Both, numberInto("timeout", &CliOptions::timeout)},
        {"jobs", 'j', true, Scope::Both,
         [](CliOptions& o, const std::string& value) {
             std::uint32_t jobs = 0;
             if (std::string error = parseNumber("jobs", value, jobs); !error.empty())
                 return error;
             if (jobs < 1 || jobs > 32)
                 return "--jobs: '" + value + "' is not between 1 and 32";
             o.jobs = jobs;
             return std::string();
         }},
        {"check", 0, false, Scope::OneOff, flag(&CliOptions::check)},
        {"confirm-deletes", 0, false, Scope::OneOff, flag(&CliOptions::confirmDeletes)},
        {"no-add", 0, false, Scope::OneOff, flag(&CliOptions::noAdd)},
        {"no-delete", 0, false, Scope::OneOff, flag(&CliOptions::noDelete)},
        {"no-subfolders", 0, false, Scope::OneOff, flag(&CliOptions::noSubFolders)},
        {"compare", 0, true, Scope::OneOff,
         [](CliOptions& o, const std::string& value) {
             if (value == "time")
                 o.compareOnSize = false;
             else if (value == "size")
                 o.compareOnSize = true;
             else
                 return "--compare: '" + value + "' is neither time nor size";
             return std::string();
         }},
        {"adjust-hours", 0, true, Scope::OneOff, numberInto("adjust-hours", &CliOptions::adjustHours)},
        {"adjust-mins", 0, true, Scope::OneOff, numberInto("adjust-mins", &CliOptions::adjustMinutes)},
        {"overwrite-read-only", 0, false, Scope::OneOff, flag(&CliOptions::overwriteReadOnly)},
        {"copy-attributes", 0, false, Scope::OneOff, flag(&CliOptions::copyAttributes)},
        {"exclude", 0, true, Scope::OneOff, appendTo("exclude", &CliOptions::excludes)},
        {"exclude-wildcard", 0, true, Scope::OneOff,
         appendTo("exclude-wildcard", &CliOptions::excludeWildcards)},
        {"log", 0, true, Scope::OneOff, text("log", &CliOptions::logPath)},
        {"log-append", 0, false, Scope::OneOff, flag(&CliOptions::logAppend)},
        {"save-profile", 0, true, Scope::OneOff, text("save-profile", &CliOptions::saveProfile)},
        {"auto-start", 0, true, Scope::OneOff, directionInto("auto-start", &CliOptions::autoStart)},
    };
    return table;
}

const OptionSpec* findLong(std::string_view name) {
    for (const OptionSpec& option : optionTable())
        if (name == option.name)
            return &option;
    return nullptr;
}

const OptionSpec* findShort(char name) {
    for (const OptionSpec& option : optionTable())
        if (option.shortName == name)
            return &option;
    return nullptr;
}

// Checks that go across options and operands, once everything has been read.
std::string checkCombination(CliOptions& options, const std::vector<std::string>& operands,
                             const std::vector<const OptionSpec*>& used) {
    if (operands.empty())
        return "missing FILE, or SOURCE and TARGET";
    if (operands.size() > 2)
        return "too many arguments: '" + operands[2] + "' (expected FILE, or SOURCE and TARGET)";
    for (const std::string& operand : operands)
        if (operand.empty())
            return "an empty path was given";

    if (operands.size() == 1) {
        options.file = operands[0];
        const FileKind kind = fileKindOf(options.file);
        if (kind == FileKind::Other)
            return "'" + options.file +
                   "' is neither a profile (.vmp) nor a batch file (.vmb); a one-off run needs SOURCE and "
                   "TARGET";
        for (const OptionSpec* option : used)
            if (option->scope == Scope::OneOff)
                return "--" + std::string(option->name) + " applies only to a run from SOURCE to TARGET";
        if (kind == FileKind::Batch && options.direction)
            return "--direction applies only to a profile: each profile of a batch runs in its own direction";
        return {};
    }

    options.source = operands[0];
    options.target = operands[1];
    for (const OptionSpec* option : used)
        if (option->scope == Scope::File)
            return "--" + std::string(option->name) + " applies only to a profile (FILE)";
    if (options.logAppend && options.logPath.empty())
        return "--log-append needs --log=FILE";
    if (options.dryRun && !options.logPath.empty())
        return "--log cannot be used with --dry-run: a dry run writes nothing";
    if (options.dryRun && !options.saveProfile.empty())
        return "--save-profile cannot be used with --dry-run: a dry run writes nothing";
    if (options.autoStart && options.saveProfile.empty())
        return "--auto-start needs --save-profile=FILE: it is the saved profile's setting";
    return {};
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& options = result.options;
    std::vector<std::string> operands;
    std::vector<const OptionSpec*> used;
    bool optionsEnded = false;

    const auto apply = [&](const OptionSpec& option, const std::string& value) {
        used.push_back(&option);
        return option.set(options, value);
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name =
                arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionSpec* option = findLong(name);
            if (!option) {
                result.error = "unknown option '--" + name + "'";
                return result;
            }
            std::string value;
            if (equals != std::string::npos) {
                if (!option->takesValue) {
                    result.error = "--" + name + " takes no value";
                    return result;
                }
                value = arg.substr(equals + 1);
            } else if (option->takesValue) {
                if (i + 1 >= args.size()) {
                    result.error = "--" + name + " needs a value";
                    return result;
                }
                value = args[++i];
            }
            result.error = apply(*option, value);
            if (!result.error.empty())
                return result;
            continue;
        }
        for (std::size_t k = 1; k < arg.size(); ++k) {
            const OptionSpec* option = findShort(arg[k]);
            if (!option) {
                result.error = "unknown option '-" + std::string(1, arg[k]) + "'";
                return result;
            }
            std::string value;
            if (option->takesValue) {
                // -j4 or -j 4: the rest of the word, else the next argument.
                if (k + 1 < arg.size()) {
                    value = arg.substr(k + 1);
                } else if (i + 1 < args.size()) {
                    value = args[++i];
                } else {
                    result.error = "-" + std::string(1, arg[k]) + " needs a value";
                    return result;
                }
                k = arg.size();
            }
            result.error = apply(*option, value);
            if (!result.error.empty())
                return result;
        }
    }

    // --help and --version answer whatever else was given.
    if (options.mode != CliOptions::Mode::Run)
        return result;
    result.error = checkCombination(options, operands, used);
    return result;
}

std::string usageText() {
    return R"(Usage: velmora-cli [OPTIONS] FILE
       velmora-cli [OPTIONS] SOURCE TARGET

Makes a target folder tree match a source tree: adds what is missing, overwrites what differs
and deletes what the source no longer has.

FILE is a profile (.vmp), run in its auto-start direction (Location 1 to 2 when it has none),
or a batch file (.vmb), whose profiles run one after another.
SOURCE TARGET runs once from SOURCE into TARGET with the options of a new profile, except
that the check-list is off. A missing TARGET is created when the folder above it exists.

Defaults: files are compared on time: a source file is copied when it is newer than the target
by more than the required time difference (120 s unless the settings say otherwise); an older
source never overwrites a newer target. Each file command may take 300 s before it is given up.
Deletes are on.

Both forms:
  -n, --dry-run              show the planned actions (overwrite, add, delete, delete-folder,
                             add-folder, a tab, the target path; control characters in names
                             escaped as \n, \t, \\) and a closing count on stderr;
                             change nothing
  -y, --yes                  answer Yes to every question, as silent mode does
  -q, --quiet                show no progress and no summary (problems are always shown)
  -v, --verbose              show each action as it is carried out, FAILED after those that fail
      --max-delete=N         refuse a run that would delete more than N files and folders,
                             counting what the folders it deletes hold
      --allow-empty-source   let a run delete from the target although the source folder
                             is empty (refused otherwise: the typical unmounted disk)
      --accept-new-host-key  trust the key of an SFTP server met for the first time and
                             remember it in known_hosts (a changed key is always refused)
      --ssh-dir=FOLDER       the keys, known_hosts and config of SFTP logins (~/.ssh)
      --credentials=FILE     user, password and domain for smb:// shares (lines username=,
                             password=, domain=); refused when others may read it
      --direction=1to2|2to1  run a profile in this direction
      --settings=FILE        the settings file to read (it is never written)
      --time-difference=SECONDS  how much newer a source file must be to be copied
      --timeout=SECONDS      give up a call to a location that makes no progress for this
                             long, the checks before the analysis included (0: no limit)
  -j, --jobs=N               copy or delete N files at the same time, 1 to 32 (more helps
                             on network shares)
  -h, --help                 show this text
      --version              show the version

SOURCE TARGET only:
      --check                review the list of actions before anything is changed
      --confirm-deletes      ask before each delete (with --check the list covers it)
      --no-add               add nothing missing from the target
      --no-delete            delete nothing missing from the source
      --no-subfolders        leave sub-folders alone
      --compare=time|size    how files are compared (default: time)
      --adjust-hours=N       shift every target time by N hours before comparing
      --adjust-mins=N        and by N minutes
      --overwrite-read-only  overwrite and delete read-only files too
      --copy-attributes      give copied files and new folders the source's permissions
      --exclude=PATH         leave this file or folder alone (repeatable; see below)
      --exclude-wildcard=PATTERN  leave alone what matches, e.g. *.tmp (repeatable)
      --log=FILE             write a run log (a log that cannot be opened stops the run)
      --log-append           add to the log instead of replacing it
      --save-profile=FILE    also save these options as a profile
      --auto-start=1to2|2to1 give the saved profile automatic start, as a batch needs

Exclusions: --exclude=PATH is tidied by its text (".", "..", repeated "/"; links are not
followed). A path that, from the current folder, lies in SOURCE or TARGET excludes that place
in both; any other relative path is taken from both roots. A trailing "/" keeps it a folder.
A path found in neither tree is reported as a warning. A wildcard is matched against names,
ignoring ASCII case; a wildcard with a folder (/data/src/logs/*.txt) applies in that folder and below.

Safety: a run whose source folder is empty while the plan deletes from the target (the typical
unmounted disk) is refused whatever --max-delete says; only --allow-empty-source lets it go
ahead. A run that would delete more than --max-delete=N files and folders is refused too: every
file and folder it would remove counts, the content of the folders it deletes included. Both
apply to profiles and batches.

Questions are asked on the terminal. Without one, a run that would have to ask is cancelled
unless --yes is given. Ctrl-C, SIGTERM and SIGHUP (a closed terminal) stop a run as the Stop
button does: the commands in flight end or are given up, the report and the log say the run
was interrupted, and the exit status is 3. A second such signal ends the program at once.

Settings are read from --settings=FILE, else $VELMORA_SETTINGS, else
$XDG_CONFIG_HOME/Larkspire/Velmora.conf (~/.config/Larkspire/Velmora.conf without it). A file
named by --settings or $VELMORA_SETTINGS that cannot be used stops the program (status 66).

Exit status: 0 done, 1 done with problems, 2 analysis failed or run refused (nothing changed),
3 interrupted or cancelled, 64 bad usage, 66 a file that cannot be opened (a profile, a batch,
the log) or is not a valid profile or batch.
)";
}

} // namespace velmora::cli
