#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
class AppController;
class Profile;
class SettingsStore;
struct RunOutcome;
} // namespace velmora

namespace velmora::cli {

struct CliOptions;
class TerminalFrontEnd;

// What the command line is given by the process: the standard streams, whether they are
// terminals, and where Ctrl-C should go. Tests hand in string streams.
struct CliEnvironment {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    int width = 80;
    // The settings file when --settings is not given; empty: the usual one.
    std::string settingsPath;
    // Called with the flag a stop signal (Ctrl-C, SIGTERM, SIGHUP) should set to its number while
    // runs may go on, and with nullptr afterwards.
    std::function<void(std::atomic<int>*)> interruptTarget;
};

// The command line without its process: parses the arguments, runs a profile, a batch or a
// one-off synchronisation through the application controller and answers the exit status.
class CliApp {
public:
    explicit CliApp(CliEnvironment environment) : env_(std::move(environment)) {}

    int run(const std::vector<std::string>& args);

private:
    int runWith(const CliOptions& options);
    int runProfile(AppController& controller, const CliOptions& options);
    int runBatch(AppController& controller, const CliOptions& options);
    int runOneOff(AppController& controller, const SettingsStore& settings, const CliOptions& options);
    // The exit status of one run, with what the report did not say.
    int finishRun(AppController& controller, const CliOptions& options,
                  const std::optional<RunOutcome>& outcome);
    // Adds the --exclude paths to a one-off run's profile, warning about those that exclude
    // nothing; false when one makes the command line wrong.
    bool addExcludes(const CliOptions& options, Profile& profile);
    // Why a safeguard stopped a run, and how to allow it.
    void explainRefusal(const RunOutcome& outcome, const CliOptions& options);
    // Which option sets automatic start, once per program run.
    void explainAutoStart();
    void error(const std::string& text);
    // Whether the run may use these settings; says why not, or warns about a damaged file.
    // `givenBy` names the option or variable that chose the file, empty for the usual one.
    bool settingsUsable(const SettingsStore& settings, const std::string& givenBy);

    CliEnvironment env_;
    TerminalFrontEnd* frontEnd_ = nullptr;
    bool autoStartExplained_ = false;
};

} // namespace velmora::cli
