#include "cli/CliApp.h"

#include "app/AppController.h"
#include "app/ProfileFiles.h"
#include "cli/CliOptions.h"
#include "cli/ExcludePaths.h"
#include "cli/ExitStatus.h"
#include "cli/RemoteLogins.h"
#include "cli/TerminalFrontEnd.h"
#include "engine/FileCommand.h"
#include "platform/Environment.h"
#include "platform/PosixFileSystem.h"
#include "profiles/FileKind.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"
#include "remote/RemoteAddress.h"
#include "remote/RoutingFileSystem.h"

#include <filesystem>
#include <ostream>
#include <utility>

namespace velmora::cli {

namespace {

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif
constexpr const char* kVersion = VELMORA_VERSION;

// A file command abandoned by Stop or its timeout may still be inside the file system when a
// run returns, so the file system lives as long as the process.
remote::RoutingFileSystem& processFileSystem() {
    static auto* local = new platform::PosixFileSystem();
    static auto* fileSystem = new remote::RoutingFileSystem(*local);
    return *fileSystem;
}

// A path typed on the command line, made absolute against the current folder, so that what
// the report, the log and a saved profile show does not depend on where the run was started.
std::string absolutePath(const std::string& path) {
    if (remote::isRemoteLocation(path))
        return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The status of one run: a log that could not be opened, failed analysis or refused plan, then
// stop or cancel, then problems.
int statusOf(const RunOutcome& outcome, std::size_t problems) {
    if (outcome.refusal == Refusal::LogNotOpened)
        return kExitNoInput;
    if (outcome.failed)
        return kExitFailed;
    if (outcome.cancelled || outcome.interrupted)
        return kExitInterrupted;
    return problems == 0 ? kExitDone : kExitProblems;
}

// Points the stop signals at the run's Stop button for as long as runs may go on.
class InterruptScope {
public:
    InterruptScope(const std::function<void(std::atomic<int>*)>& target, std::atomic<int>* flag)
        : target_(target) {
        if (target_)
            target_(flag);
    }
    ~InterruptScope() {
        if (target_)
            target_(nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    const std::function<void(std::atomic<int>*)>& target_;
};

bool exists(const std::string& path) {
    platform::FileAttributes attributes;
    return processFileSystem().getAttributes(path, attributes) == 0;
}

bool isReadOnly(const std::string& path) {
    platform::FileAttributes attributes;
    return processFileSystem().getAttributes(path, attributes) == 0 && attributes.readOnly;
}

// The profile a run from SOURCE to TARGET makes: a new profile's defaults, the check-list off
// unless asked for, and the options given.
Profile profileFromOptions(const CliOptions& options) {
    Profile profile;
    profile.location1 = tidyLocation(absolutePath(options.source));
    profile.location2 = tidyLocation(absolutePath(options.target));
    profile.addMissing = !options.noAdd;
    profile.deleteMissing = !options.noDelete;
    profile.checkSubFolders = !options.noSubFolders;
    profile.checkActions = options.check;
    profile.confirmDeletes = options.confirmDeletes;
    profile.compareOnTime = !options.compareOnSize;
    profile.adjustHours = options.adjustHours;
    profile.adjustMinutes = options.adjustMinutes;
    profile.overwriteReadOnly = options.overwriteReadOnly;
    profile.copyAttributes = options.copyAttributes;
    for (const std::string& pattern : options.excludeWildcards)
        profile.exclusions.addWildcard(pattern);
    profile.exclusions.finish();
    if (!options.logPath.empty()) {
        profile.logOn = true;
        profile.logPath = absolutePath(options.logPath);
        profile.logAppend = options.logAppend;
    }
    if (options.autoStart)
        profile.autoStart = static_cast<AutoStartDirection>(*options.autoStart);
    return profile;
}

RunMode runModeOf(const CliOptions& options) {
    return options.dryRun ? RunMode::PlanOnly : RunMode::Execute;
}

// The general settings of the settings file, with what the command line gives instead.
void applyGeneralOverrides(AppController& controller, const CliOptions& options) {
    GeneralSettings general = controller.general();
    if (options.timeDifference)
        general.timeDifference = *options.timeDifference;
    if (options.timeout)
        general.commandTimeout = *options.timeout;
    if (options.jobs)
        general.parallelCommands = *options.jobs;
    controller.configurationAccepted(general); // the store is read-only: nothing is written
}

} // namespace

void CliApp::explainAutoStart() {
    if (std::exchange(autoStartExplained_, true))
        return;
    error("a profile gets automatic start from auto_start=1 or 2 in its file, or from velmora-cli "
          "--save-profile=FILE --auto-start=1to2 (or 2to1) when it is saved");
}

bool CliApp::settingsUsable(const SettingsStore& settings, const std::string& givenBy) {
    using Kind = SettingsFileCheck::Kind;
    const SettingsFileCheck found = settings.check();
    const std::string named = "the settings file " + settings.filePath();
    switch (found.kind) {
    case Kind::Sound:
        return true;
    case Kind::Damaged:
        // The lines that can be read still hold the user's settings.
        error("warning: " + named + ": " + found.reason() + "; what it held there is left at its default");
        return true;
    case Kind::Missing:
        if (givenBy.empty())
            return true; // a first run
        break;
    case Kind::Unreadable:
    case Kind::NotSettings:
        if (givenBy.empty()) {
            error("warning: " + named + " cannot be used (" + found.reason() +
                  "): the default settings apply");
            return true;
        }
        break;
    }
    // Named on purpose: running with other settings than the user set would mislead.
    error(named + " (given by " + givenBy + ") cannot be used: " + found.reason() + "; nothing was changed");
    return false;
}

void CliApp::error(const std::string& text) {
    env_.err << "velmora-cli: " << text << '\n' << std::flush;
}

int CliApp::run(const std::vector<std::string>& args) {
    const ParseResult parsed = parseArguments(args);
    if (!parsed.error.empty()) {
        error(parsed.error);
        env_.err << "Try 'velmora-cli --help' for more information.\n" << std::flush;
        return kExitUsage;
    }
    switch (parsed.options.mode) {
    case CliOptions::Mode::Help:
        env_.out << usageText() << std::flush;
        return kExitDone;
    case CliOptions::Mode::Version:
        env_.out << "velmora-cli " << kVersion << " (profile and batch files version "
                 << versionText(Profile::kFileVersion) << ")\n"
                 << std::flush;
        return kExitDone;
    case CliOptions::Mode::Run:
        break;
    }
    return runWith(parsed.options);
}

int CliApp::runWith(const CliOptions& options) {
    const std::string settingsPath = !options.settingsPath.empty() ? options.settingsPath
                                     : !env_.settingsPath.empty()  ? env_.settingsPath
                                                                   : SettingsStore::defaultFilePath();
    SettingsStore settings(settingsPath);
    settings.setReadOnly(true);
    if (!settingsUsable(settings, !options.settingsPath.empty() ? "--settings"
                                  : !platform::environmentValue("VELMORA_SETTINGS").empty()
                                      ? "$VELMORA_SETTINGS"
                                      : ""))
        return kExitNoInput;

    TerminalFrontEnd frontEnd(
        {env_.in, env_.out, env_.err, env_.inIsTerminal, env_.errIsTerminal, env_.width},
        {options.yes, options.dryRun, options.quiet, options.verbose});
    frontEnd.setReadOnlyHint(isReadOnly, options.oneOff() ? "read-only target files were left as they are: "
                                                            "--overwrite-read-only allows overwriting and "
                                                            "deleting them"
                                                          : "read-only target files were left as they are: "
                                                            "overwrite_read_only=1 in the profile allows "
                                                            "overwriting and deleting them");
    RemoteLogins logins(
        processFileSystem(),
        {env_.in, env_.err, env_.inIsTerminal, options.acceptNewHostKey, options.sshDir,
         options.credentialsFile,
         options.timeout && *options.timeout > 0 ? static_cast<long>(*options.timeout) : 30L});
    AppServices services{frontEnd, processFileSystem(), settings};
    services.openLocation = [&logins](const std::string& location) { return logins.open(location); };
    AppController controller(services);
    // Nothing waits on stderr, so every message is shown, also for a silent profile.
    controller.reporter().setShownWhenSilent(true);
    RunSafeguards safeguards;
    safeguards.maxDeletes = options.maxDelete;
    // Nobody is there to answer the empty-source question: it takes an option given in advance.
    safeguards.emptySource =
        options.allowEmptySource ? RunSafeguards::EmptySource::Allow : RunSafeguards::EmptySource::Refuse;
    safeguards.requireLog = true;
    // A folder typed just now may be new; a profile's missing target is more likely an unmounted disk.
    if (options.oneOff())
        safeguards.missingTarget =
            options.dryRun ? RunSafeguards::MissingTarget::AssumeEmpty : RunSafeguards::MissingTarget::Create;
    controller.setSafeguards(safeguards);
    std::atomic<int> interrupted{0};
    frontEnd.setStopButton(&interrupted,
                           [&controller](int signal) { controller.stop(stopCauseOfSignal(signal)); });
    const InterruptScope interruptScope(env_.interruptTarget, &interrupted);
    frontEnd_ = &frontEnd;

    int status = kExitDone;
    if (options.oneOff()) {
        status = runOneOff(controller, settings, options);
    } else if (fileKindOf(options.file) == FileKind::Batch) {
        status = runBatch(controller, options);
    } else {
        status = runProfile(controller, options);
    }
    frontEnd_ = nullptr;
    // Connections are closed once no abandoned command can still be using one.
    if (FileCommands::settle(std::chrono::seconds(2)))
        processFileSystem().dropServers();
    return status;
}

int CliApp::runProfile(AppController& controller, const CliOptions& options) {
    controller.startUp(options.file);
    // A damaged profile is refused whole: the load has said where its reading stopped.
    if (controller.currentProfilePath() != options.file || controller.profile().damaged())
        return kExitNoInput; // the load has said why
    applyGeneralOverrides(controller, options);

    RunRequest request;
    if (options.direction)
        request.direction = *options.direction == 2 ? Direction::TwoToOne : Direction::OneToTwo;
    request.mode = runModeOf(options);
    return finishRun(controller, options, controller.run(request));
}

bool CliApp::addExcludes(const CliOptions& options, Profile& profile) {
    std::error_code noFolder;
    const std::string currentFolder = std::filesystem::current_path(noFolder).string();
    for (const std::string& typed : options.excludes) {
        const ExcludedPlaces places =
            placesToExclude(typed, currentFolder, profile.location1, profile.location2);
        if (places.usageError) {
            error(places.problem);
            return false;
        }
        if (!places.problem.empty())
            error("warning: " + places.problem);
        bool found = false;
        for (const std::string& path : places.paths) {
            profile.exclusions.addExplicit(path);
            found = found || exists(withoutTrailingSlashes(path));
        }
        if (!places.paths.empty() && !found)
            error("warning: --exclude=" + typed + " is in neither location (" + places.paths[0] + ", " +
                  places.paths[1] + ")");
    }
    profile.exclusions.finish();
    return true;
}

int CliApp::runOneOff(AppController& controller, const SettingsStore& settings, const CliOptions& options) {
    Profile made = profileFromOptions(options);
    if (!addExcludes(options, made))
        return kExitUsage;
    if (!options.saveProfile.empty() &&
        !saveProfileFile(options.saveProfile, made, controller.reporter(), SaveCommand::SaveAs))
        return kExitNoInput; // the save has said why

    controller.configurationAccepted(readGeneralSettings(settings));
    applyGeneralOverrides(controller, options);
    RunRequest request;
    request.profile = made;
    request.folders = {made.location1, made.location2};
    request.mode = runModeOf(options);
    return finishRun(controller, options, controller.run(request));
}

int CliApp::finishRun(AppController& controller, const CliOptions& options,
                      const std::optional<RunOutcome>& outcome) {
    if (!outcome)
        return kExitInterrupted; // refused: another run is going
    const SyncResults& results = controller.results();
    explainRefusal(*outcome, options);
    if (options.dryRun) {
        // Only planned: the plan instead of the report (and the report's problem lines).
        if (!outcome->failed && !outcome->interrupted)
            frontEnd_->showPlan(plannedSets(controller.actions()));
        if (!outcome->failed && !results.problems.empty()) {
            env_.err << "Some problems were encountered:\n";
            for (const std::string& line : results.problems)
                env_.err << "  " << line << '\n';
            env_.err << std::flush;
        }
        if (outcome->failed || outcome->interrupted)
            return statusOf(*outcome, results.problems.size());
        return results.problems.empty() ? kExitDone : kExitProblems;
    }
    if (outcome->cancelled && !frontEnd_->takeRefusal())
        env_.err << "velmora-cli: cancelled: nothing was changed\n" << std::flush;
    return statusOf(*outcome, results.problems.size());
}

void CliApp::explainRefusal(const RunOutcome& outcome, const CliOptions& options) {
    const std::string deletes = std::to_string(outcome.plannedDeletes);
    const std::string limit = "--max-delete=" + std::to_string(options.maxDelete.value_or(0));
    switch (outcome.refusal) {
    case Refusal::None:
        return;
    case Refusal::TooManyDeletes:
        error("refused: the plan would delete " + deletes + " files and folders, more than " + limit +
              " allows (what the folders to delete hold counts too); nothing was changed. To allow it, "
              "give --max-delete=" +
              deletes + " or more.");
        return;
    case Refusal::DeletesNotCounted:
        error("refused: a folder the plan deletes could not be listed, so the plan cannot be shown to "
              "stay within " +
              limit + " (the problems above say which and why); nothing was changed.");
        return;
    case Refusal::EmptySource:
        error("refused: the source folder is empty but the plan would delete " + deletes +
              " files and folders from the target (is a disk not mounted?); nothing was changed. If the "
              "source is meant to be empty, give --allow-empty-source.");
        return;
    case Refusal::LogNotOpened:
        error("the log file cannot be opened: nothing was changed");
        return;
    }
}

int CliApp::runBatch(AppController& controller, const CliOptions& options) {
    controller.startUp(options.file);
    if (controller.currentBatchPath() != options.file)
        return kExitNoInput; // the load has said why
    applyGeneralOverrides(controller, options);

    int status = kExitDone;
    if (!options.dryRun) {
        const BatchOutcome outcome = controller.runBatch();
        if (outcome.refused)
            return kExitInterrupted;
        for (const BatchStep& step : outcome.steps) {
            if (step.result == BatchStep::Result::NoAutoStart)
                explainAutoStart();
            explainRefusal(step.outcome, options);
            // An empty line of the batch file names nothing: it is skipped without a problem.
            if (step.result != BatchStep::Result::Ran)
                status = worseStatus(status, step.path.empty() ? kExitDone : kExitProblems);
            else
                status = worseStatus(status, statusOf(step.outcome, step.problems));
        }
        return status;
    }

    // A dry run plans each profile as the batch would run it, without running any.
    const std::vector<std::string> paths = controller.batch().profiles;
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        RunRequest request;
        request.mode = RunMode::PlanOnly;
        request.profile.emplace();
        if (fileKindOf(path) != FileKind::Profile ||
            !loadProfileFile(path, *request.profile, controller.reporter())) {
            status = worseStatus(status, kExitProblems);
            continue;
        }
        if (request.profile->damaged()) {
            controller.reporter().reportAlwaysShown("CSynchroniserDlg::loadProfileData",
                                                    damagedProfileNotice(path, *request.profile));
            status = worseStatus(status, kExitProblems);
            continue;
        }
        if (request.profile->autoStart != AutoStartDirection::OneToTwo &&
            request.profile->autoStart != AutoStartDirection::TwoToOne) {
            error("The profile " + path + "\n must have Auto Start selected to be used as a batch profile");
            explainAutoStart();
            status = worseStatus(status, kExitProblems);
            continue;
        }
        const int run = finishRun(controller, options, controller.run(request));
        status = worseStatus(status, run);
        if (run == kExitInterrupted)
            break;
    }
    return status;
}

} // namespace velmora::cli
