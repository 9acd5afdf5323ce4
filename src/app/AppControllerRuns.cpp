// Synchronisations and batch runs.
#include "app/AppController.h"
#include "engine/FrontEndPort.h"
#include "items/TidyPath.h"
#include "profiles/FileKind.h"

namespace velmora {

namespace {

constexpr const char* kAlreadyRunning = "There is already a batch or synchronisation running";

} // namespace

bool AppController::refuseWhileRunning(const char* context) {
    if (!busy())
        return false;
    reporter_.reportAlwaysShown(context, kAlreadyRunning);
    return true;
}

std::optional<RunOutcome> AppController::synchronise(Direction direction) {
    const ChangeNotice notice(*this);
    const bool oneToTwo = direction == Direction::OneToTwo;
    if (refuseWhileRunning(oneToTwo ? "CSynchroniserDlg::OnSynch12" : "CSynchroniserDlg::OnSynch21"))
        return std::nullopt;
    // Pressing the button takes the focus from a location box that is being typed into.
    locationFocusLost(Location::One);
    locationFocusLost(Location::Two);
    const Profile settings = windowProfile();
    const RunOutcome outcome = oneToTwo
                                   ? runBetween(location1_, location2_, RunningState::OneToTwo, settings)
                                   : runBetween(location2_, location1_, RunningState::TwoToOne, settings);
    if (outcome.exitRequested)
        exit();
    finishIfEndingFromOutside();
    return outcome;
}

std::optional<RunOutcome> AppController::run(const RunRequest& request) {
    const ChangeNotice notice(*this);
    const bool ownProfile = request.profile.has_value();
    Direction direction = Direction::OneToTwo;
    if (request.direction)
        direction = *request.direction;
    else if (ownProfile && request.profile->autoStart == AutoStartDirection::TwoToOne)
        direction = Direction::TwoToOne;
    else if (!ownProfile && autoStartOn_)
        direction = autoStartDirection_;
    const bool oneToTwo = direction == Direction::OneToTwo;
    if (refuseWhileRunning(oneToTwo ? "CSynchroniserDlg::OnSynch12" : "CSynchroniserDlg::OnSynch21"))
        return std::nullopt;
    if (!ownProfile) {
        locationFocusLost(Location::One);
        locationFocusLost(Location::Two);
    }
    const Profile settings = ownProfile ? *request.profile : windowProfile();
    const std::string& first = ownProfile ? settings.location1 : location1_;
    const std::string& second = ownProfile ? settings.location2 : location2_;
    RunOutcome outcome;
    if (request.folders)
        outcome = runBetween(request.folders->first, request.folders->second, RunningState::OneToTwo,
                             settings, request.mode);
    else
        outcome = oneToTwo ? runBetween(first, second, RunningState::OneToTwo, settings, request.mode)
                           : runBetween(second, first, RunningState::TwoToOne, settings, request.mode);
    finishIfEndingFromOutside();
    return outcome;
}

Profile AppController::windowProfile() const {
    Profile settings = profile_;
    copyMainBoxes(options_, settings);
    settings.copyAttributes = options_.copyAttributes;
    return settings;
}

RunOutcome AppController::runBetween(const std::string& sourceText, const std::string& targetText,
                                     RunningState state, const Profile& settings, RunMode mode) {
    // Every run goes through here: one spelling of each location for every later comparison, and
    // a trailing separator, since the engine builds each path as a folder plus a name.
    const std::string source = tidyLocation(sourceText);
    const std::string target = tidyLocation(targetText);
    if (services_.openLocation) {
        for (const std::string& location : {source, target}) {
            if (const std::string why = services_.openLocation(location); !why.empty()) {
                reporter_.reportAlwaysShown("CSynchroniserDlg::synchronise", why);
                RunOutcome unreachable;
                unreachable.failed = true;
                return unreachable;
            }
        }
    }
    runOptions_ = syncOptionsFor(settings, general_);
    runOptions_.safeguards = safeguards_;
    runExclusions_ = settings.exclusions;
    setSilent(settings.silentMode);

    // A plan changes nothing, so it leaves no log behind either.
    if (mode == RunMode::PlanOnly) {
        runOptions_.logOn = false;
    } else if (!startRunLog(log_, reporter_, settings, source, target, selectorText_) && settings.logOn &&
               runOptions_.safeguards.requireLog) {
        RunOutcome refused;
        refused.failed = true;
        refused.refusal = Refusal::LogNotOpened;
        return refused;
    }
    // A log kept inside a location is the run's own record, never one of its files.
    sourceAccess_.setProtectedFile(log_.identity());
    targetAccess_.setProtectedFile(log_.identity());

    flags_.runningState = state;
    const RunOutcome outcome = synchroniser_.synchronise(source, target, mode);
    flags_.runningState = RunningState::Idle;
    log_.close();
    return outcome;
}

BatchOutcome AppController::runBatch() {
    const ChangeNotice notice(*this);
    BatchOutcome result;
    if (refuseWhileRunning("CSynchroniserDlg::OnRunbatch")) {
        result.refused = true;
        return result;
    }
    // A batch that was never saved is offered too: saving it goes on to Save As, and the batch
    // shown again after the run is then the file just written. Cancelling Save As runs it as it is.
    if (batch_.modified && !batch_.profiles.empty() &&
        services_.frontEnd.question(
            "The current batch file has been modified.\nDo you wish to save your changes?"))
        save();
    const std::string batchPath = batchPath_;

    // An earlier single run that was stopped must not end this batch before it starts.
    flags_.interruptedRun = false;
    batchRunning_ = true;
    exitPending_ = false;
    const std::vector<std::string> paths = batch_.profiles;
    for (const std::string& path : paths) {
        if (flags_.interruptedRun) {
            result.interrupted = true;
            break;
        }
        BatchStep step;
        step.path = path;
        // Only profiles are run (a batch file listed in a batch would replace the batch being
        // run); anything else is named, so that a mistyped entry is not skipped without a word.
        if (fileKindOf(path) != FileKind::Profile && !path.empty())
            reporter_.report("CSynchroniserDlg::OnRunbatch", path + " is not a Velmora profile");
        if (fileKindOf(path) != FileKind::Profile || !openFile(path, false, false)) {
            step.result = BatchStep::Result::NotLoaded;
            result.steps.push_back(std::move(step));
            continue;
        }
        // Opening it has told the user where its reading stopped.
        if (profile_.damaged()) {
            step.result = BatchStep::Result::Damaged;
            result.steps.push_back(std::move(step));
            continue;
        }
        if (profile_.autoStart != AutoStartDirection::OneToTwo &&
            profile_.autoStart != AutoStartDirection::TwoToOne) {
            reporter_.report("CSynchroniserDlg::OnRunbatch",
                             "The profile " + path +
                                 "\n must have Auto Start selected to be used as a batch profile");
            step.result = BatchStep::Result::NoAutoStart;
            result.steps.push_back(std::move(step));
            continue;
        }
        selectorText_ = path;
        const Profile settings = windowProfile();
        step.outcome = profile_.autoStart == AutoStartDirection::OneToTwo
                           ? runBetween(location1_, location2_, RunningState::OneToTwo, settings)
                           : runBetween(location2_, location1_, RunningState::TwoToOne, settings);
        step.counts = results_.counts;
        step.problems = results_.problems.size();
        // "Exit on completion" of one profile ends the program once the whole batch has run.
        if (step.outcome.exitRequested)
            exitPending_ = true;
        result.steps.push_back(std::move(step));
    }
    if (flags_.interruptedRun)
        result.interrupted = true;
    batchRunning_ = false;

    // Show the batch again.
    if (!batchPath.empty()) {
        openFile(batchPath);
    } else {
        profile_.reset();
        profilePath_.clear();
        selectorText_.clear();
        title_ = "Velmora";
    }
    flags_.interruptedRun = false;
    result.exitRequested = exitPending_;
    if (exitPending_) {
        exitPending_ = false;
        exit();
    }
    finishIfEndingFromOutside();
    return result;
}

} // namespace velmora
