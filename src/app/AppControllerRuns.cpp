// Synchronisations and batch runs.
#include "app/AppController.h"
#include "engine/FrontEndPort.h"
#include "profiles/FileKind.h"

namespace velmora {

namespace {

constexpr const char* kAlreadyRunning = "There is already a batch or synchronisation running";

// The engine builds every path as a folder plus a name, so a location must end in its separator:
// without it "/data/dst" and "file" would make "/data/dstfile".
std::string asFolder(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

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
    const RunOutcome outcome =
        oneToTwo ? runBetween(location1_, location2_, 1) : runBetween(location2_, location1_, 2);
    if (outcome.exitRequested)
        exit();
    return outcome;
}

std::optional<RunOutcome> AppController::synchroniseFolders(const std::string& source,
                                                            const std::string& target) {
    const ChangeNotice notice(*this);
    if (refuseWhileRunning("CSynchroniserDlg::OnSynch12"))
        return std::nullopt;
    const RunOutcome outcome = runBetween(source, target, 1);
    if (outcome.exitRequested)
        exit();
    return outcome;
}

RunOutcome AppController::runBetween(const std::string& sourceText, const std::string& targetText,
                                     int state) {
    const std::string source = asFolder(sourceText);
    const std::string target = asFolder(targetText);
    runOptions_ = runOptions();
    setSilent(options_.silentMode);

    // The log's options block shows what this run uses: the boxes as they are ticked now.
    Profile logged = profile_;
    logged.addFiles = options_.addFiles;
    logged.deleteFiles = options_.deleteFiles;
    logged.confirmDeletes = options_.confirmDeletes;
    logged.checkSubFolders = options_.checkSubFolders;
    logged.checkActions = options_.checkActions;
    logged.silentMode = options_.silentMode;
    logged.exitOnCompletion = options_.exitOnCompletion;
    logged.overwriteReadOnly = options_.overwriteReadOnly;
    logged.copyAttribs = copyAttributes_;
    if (!startRunLog(log_, reporter_, logged, source, target, selectorText_) && logged.logFileOn &&
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
    const RunOutcome outcome = synchroniser_.synchronise(source, target);
    flags_.runningState = 0;
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
    const std::string batchPath = batchPath_;
    // A batch that was never saved has no file to save it to; it runs as it is.
    if (batch_.modified && !batchPath.empty() &&
        services_.frontEnd.question(
            "The current batch file has been modified.\nDo you wish to save your changes?"))
        save();

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
        // Only profiles are run: a batch file listed in a batch would replace the batch being run.
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
        if (profile_.autoStart != 1 && profile_.autoStart != 2) {
            reporter_.report("CSynchroniserDlg::OnRunbatch",
                             "The profile " + path +
                                 "\n must have Auto Start selected to be used as a batch profile");
            step.result = BatchStep::Result::NoAutoStart;
            result.steps.push_back(std::move(step));
            continue;
        }
        selectorText_ = path;
        step.outcome = profile_.autoStart == 1 ? runBetween(location1_, location2_, 1)
                                               : runBetween(location2_, location1_, 2);
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
    return result;
}

} // namespace velmora
