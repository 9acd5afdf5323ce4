#include "engine/Synchroniser.h"

#include "engine/DeleteTrees.h"
#include "engine/GuardedCalls.h"
#include "engine/LocationOverlap.h"
#include "platform/Clock.h"
#include "platform/ErrorText.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace velmora {

namespace {

// Keeps only the planned actions whose target the user left in the edited list.
void keepReviewed(ItemMap& planned, const std::vector<FileItemPtr>& reviewed) {
    const ItemSet kept(reviewed.begin(), reviewed.end());
    std::erase_if(planned, [&](const auto& entry) { return !kept.contains(entry.second); });
}

void keepReviewed(ItemSet& planned, const std::vector<FileItemPtr>& reviewed) {
    const ItemSet kept(reviewed.begin(), reviewed.end());
    std::erase_if(planned, [&](const FileItemPtr& item) { return !kept.contains(item); });
}

std::string interruptionText(StopCause cause) {
    switch (cause) {
    case StopCause::StopButton:
        break;
    case StopCause::Cancel:
        return "Synchronisation interrupted by Cancel in a delete confirmation";
    case StopCause::Interrupt:
        return "Synchronisation interrupted by Ctrl-C (SIGINT)";
    case StopCause::Terminate:
        return "Synchronisation interrupted by the signal SIGTERM";
    case StopCause::Hangup:
        return "Synchronisation interrupted by the signal SIGHUP (the terminal or session was closed)";
    }
    return "Synchronisation interrupted by Stop";
}

std::vector<FileItemPtr> targetsOf(const ItemMap& planned) {
    std::vector<FileItemPtr> targets;
    targets.reserve(planned.size());
    for (const auto& [source, target] : planned)
        targets.push_back(target);
    return targets;
}

} // namespace

Synchroniser::Synchroniser(RunContext& run, RunHooks hooks, ProgressMeter::Clock clock)
    : run_(run), hooks_(std::move(hooks)),
      progress_(run.frontEnd, run.results,
                clock ? std::move(clock) : ProgressMeter::Clock(platform::steadyMillis)),
      analysis_(run, progress_), execution_(run, progress_) {}

CheckListSets plannedSets(const ActionList& actions) {
    CheckListSets sets;
    sets.filesToOverwrite = targetsOf(actions.filesToOverwrite);
    sets.filesToAdd = targetsOf(actions.filesToAdd);
    sets.filesToDelete.assign(actions.filesToDelete.begin(), actions.filesToDelete.end());
    sets.foldersToAdd = targetsOf(actions.foldersToAdd);
    sets.foldersToDelete.assign(actions.foldersToDelete.begin(), actions.foldersToDelete.end());
    return sets;
}

RunOutcome Synchroniser::synchronise(const std::string& source, const std::string& target, RunMode mode) {
    startRun(mode);

    progress_.setActivity("Checking folder: " + source);
    run_.frontEnd.pump();

    bool ok = checkLocations(source, target) && prepareTarget(source, target);
    if (ok && !run_.stopRequested()) {
        // From here on every path of the run is resolved beneath its location, links refused.
        run_.commands.fileSystem().setLocationRoots({source, target});
        if (&run_.fileSystem != &run_.commands.fileSystem())
            run_.fileSystem.setLocationRoots({source, target});
        ok = watchForOverlap(source, target) && analysis_.analyseDirectory(source, target);
        ok = ok && !overlapFound(source, target);
        // What the folders to delete hold is part of what the plan saw: only that is deleted.
        if (ok && !run_.stopRequested())
            listFoldersToDelete(run_);
    }
    RunOutcome outcome;
    if (ok && !run_.stopRequested()) {
        outcome.refusal = judgePlan(source, target, outcome);
        ok = outcome.refusal == Refusal::None;
    }
    if (!ok) {
        outcome.failed = true;
        run_.results.lastSource = source;
        run_.results.lastTarget = target;
        showReport("Synchronisation failed\n");
    }

    const bool planOnly = mode == RunMode::PlanOnly;
    if (outcome.cancelled)
        ok = false; // the user kept the target as it is: no execution and no report
    if (!run_.stopRequested() && !planOnly) {
        if (ok && !run_.options.silentMode && run_.options.checkActions && !reviewActions()) {
            ok = false;
            outcome.cancelled = true;
        }
        if (ok && !run_.stopRequested()) {
            progress_.setActivity("Estimating amount of work to do...");
            execution_.estimateWork();
            progress_.setPhase("Execution");
            run_.results.startMillis = progress_.now();
            execution_.processFiles();
            run_.results.workDone = 0;
        }
    }

    // The end of every run, however it went.
    run_.flags.runningState = RunningState::Idle;
    run_.frontEnd.runningChanged(RunningState::Idle);
    run_.results.lastSource = source;
    run_.results.lastTarget = target;
    progress_.setPhase("");
    progress_.setActivity("");
    outcome.interrupted = run_.stopRequested();
    if (outcome.interrupted)
        run_.results.interruption = interruptionText(run_.flags.stopCause.load());
    if (ok && !planOnly)
        showReport(outcome.interrupted ? "Synchronisation interrupted\n" : "Synchronisation done:\n");
    if (outcome.interrupted)
        run_.flags.interruptedRun = true;
    run_.flags.stopRequest = false;
    if (run_.options.logOn && hooks_.closeLog)
        hooks_.closeLog();
    run_.commands.fileSystem().setLocationRoots({});
    run_.fileSystem.setLocationRoots({});
    outcome.exitRequested = run_.options.exitOnCompletion;
    return outcome;
}

// A target inside its source would copy into itself without end; a source inside its target
// would plan the deletion of the source itself; the same folder under two names (a link, a bind
// mount) would do both. None is analysed.
bool Synchroniser::checkLocations(const std::string& source, const std::string& target) {
    ResolvedLocation resolved[2];
    const std::string* paths[2] = {&source, &target};
    for (int i = 0; i < 2; ++i) {
        const int error = guardedResult(run_.commands, resolved[i],
                                        [fs = &run_.fileSystem, path = *paths[i]](ResolvedLocation& out) {
                                            return fs->resolveLocation(path, out.real, out.identity);
                                        });
        if (givenUpByStop(error))
            return true; // nothing is analysed after Stop
        if (!answered(error, *paths[i]))
            return false;
    }
    if (const Overlap overlap = locationOverlap(resolved[0], resolved[1]); overlap != Overlap::None) {
        run_.results.addProblem("CSynchroniserDlg::synchronise: Could not synchronise " + source + " into " +
                                    target,
                                overlapReason(overlap));
        return false;
    }
    return true;
}

// A location that did not answer within the command timeout fails the run before anything
// changes; any other failure is left to the analysis, which names the folder and the reason.
bool Synchroniser::answered(int error, const std::string& path) {
    if (error != ETIMEDOUT)
        return true;
    run_.results.addProblem("CSynchroniserDlg::synchronise: Could not access folder: " + path,
                            run_.commands.reason().get());
    return false;
}

// The same folder can sit at two paths (a bind mount of a folder inside the other location):
// each location's listings look for the other location's folder among their own.
bool Synchroniser::watchForOverlap(const std::string& source, const std::string& target) {
    platform::FileAttributes sourceRoot;
    platform::FileAttributes targetRoot;
    if (!answered(guardedAttributes(run_.commands, run_.fileSystem, source, sourceRoot), source) ||
        !answered(guardedAttributes(run_.commands, run_.fileSystem, target, targetRoot), target))
        return false;
    run_.source.setOtherRoot(targetRoot.identity, target);
    run_.target.setOtherRoot(sourceRoot.identity, source);
    return true;
}

bool Synchroniser::overlapFound(const std::string& source, const std::string& target) {
    for (LocationAccess* access : {&run_.source, &run_.target}) {
        if (const std::string overlap = access->overlap(); !overlap.empty()) {
            run_.results.addProblem("CSynchroniserDlg::synchronise: Could not synchronise " + source +
                                        " into " + target,
                                    overlap);
            return true;
        }
    }
    return false;
}

void Synchroniser::startRun(RunMode mode) {
    run_.results.clearForRun();
    run_.frontEnd.runningChanged(run_.flags.runningState);
    run_.flags.stopRequest = false;
    run_.flags.stopCause = StopCause::StopButton;
    run_.flags.clearConfirmations();
    run_.actions.clear();
    progress_.reset();
    progress_.setPhase("Analysing");

    run_.commands.setListener([this] { progress_.update(); });
    run_.commands.setTimeout(run_.options.commandTimeout);
    run_.commands.setParallel(std::min(run_.options.parallelCommands, kMaxParallelCommands));
    run_.commands.setCopyAttributes(run_.options.copyAttributes);
    for (LocationAccess* access : {&run_.source, &run_.target}) {
        access->setExclusions(&run_.exclusions, &run_.exclusions);
        access->setReadOnlyOverwrite(run_.options.overwriteReadOnly);
    }
    // A run that only plans changes nothing at all, leftovers included.
    if (mode == RunMode::Execute)
        run_.target.setLeftoverRemoval([this](const std::string& path) {
            run_.results.removedLeftovers.push_back(path);
            run_.frontEnd.actionDone(ActionKind::RemoveLeftover, *makeItem(path), false);
        });
    else
        run_.target.setLeftoverRemoval({});
}

bool Synchroniser::prepareTarget(const std::string& source, const std::string& target) {
    analysis_.assumeTargetEmpty(false);
    const RunSafeguards::MissingTarget policy = run_.options.safeguards.missingTarget;
    if (policy == RunSafeguards::MissingTarget::Fail)
        return true; // the analysis tells what is wrong with a missing target
    platform::FileAttributes attributes;
    int error = guardedAttributes(run_.commands, run_.fileSystem, target, attributes);
    if (error != ENOENT)
        return givenUpByStop(error) || answered(error, target);
    // Only the last level is made: a missing parent is more likely a mistyped path or a disk
    // that is not mounted than a wish for a new tree.
    std::string parent = target;
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    parent.erase(parent.find_last_of('/') + 1);
    if (parent.empty())
        return true;
    error = guardedAttributes(run_.commands, run_.fileSystem, parent, attributes);
    if (error != 0 || !attributes.isDirectory)
        return givenUpByStop(error) || answered(error, parent);
    if (policy == RunSafeguards::MissingTarget::AssumeEmpty) {
        run_.frontEnd.message("The target folder " + target + " does not exist: it would be created");
        analysis_.assumeTargetEmpty(true);
        return true;
    }
    // Like every new folder, no more open than its source (its owner may always write into it).
    std::int64_t sourceMode = -1;
    error = guardedAttributes(run_.commands, run_.fileSystem, source, attributes);
    if (error == 0)
        sourceMode = attributes.mode;
    else if (givenUpByStop(error) || !answered(error, source))
        return givenUpByStop(error);
    if (!run_.commands.createFolder(target, sourceMode)) {
        if (run_.stopRequested())
            return true;
        run_.results.addProblem("CSynchroniserDlg::synchronise: Could not create folder: " + target,
                                run_.commands.reason().get());
        return false;
    }
    run_.frontEnd.message("Created the target folder " + target);
    return true;
}

Refusal Synchroniser::judgePlan(const std::string& source, const std::string& target, RunOutcome& outcome) {
    const ActionList& actions = run_.actions;
    if (actions.filesToDelete.empty() && actions.foldersToDelete.empty())
        return Refusal::None;
    const RunSafeguards& guards = run_.options.safeguards;
    const bool sourceEmpty = analysis_.sourceWasEmpty();
    // A listing cut short by Stop proves nothing: the run is interrupted, not refused.
    if (run_.stopRequested())
        return Refusal::None;
    const DeleteTally tally = countPlannedDeletes(run_);
    outcome.plannedDeletes = tally.items;
    const std::string refused = "CSynchroniserDlg::synchronise: Refused to delete " +
                                std::to_string(tally.items) + " files and folders in " + target;
    switch (judgeDeletes(guards, tally, sourceEmpty, run_.options.silentMode)) {
    case DeleteVerdict::GoAhead:
        return Refusal::None;
    case DeleteVerdict::AskFirst:
        if (!run_.frontEnd.cautiousQuestion(emptySourceQuestion(source, target, tally.items)))
            outcome.cancelled = true;
        return Refusal::None;
    case DeleteVerdict::TooMany:
        run_.results.addProblem(refused,
                                "More deletes than the limit of " + std::to_string(*guards.maxDeletes));
        return Refusal::TooManyDeletes;
    case DeleteVerdict::NotCounted:
        run_.results.addProblem("CSynchroniserDlg::synchronise: Could not count what is in folder: " +
                                    tally.unlisted,
                                tally.unlistedWhy);
        run_.results.addProblem(refused, "Not every folder to delete could be listed, so the limit of " +
                                             std::to_string(*guards.maxDeletes) + " cannot be checked");
        return Refusal::DeletesNotCounted;
    case DeleteVerdict::EmptySource:
        run_.results.addProblem(refused,
                                "The source folder " + source + " is empty (is a disk not mounted?)");
        return Refusal::EmptySource;
    }
    return Refusal::None;
}

std::string emptySourceQuestion(const std::string& source, const std::string& target, std::uint64_t deletes) {
    return "The source folder " + source + " is empty, but synchronising would delete " +
           std::to_string(deletes) + " files and folders from the target folder " + target +
           ".\nIs a disk or share not mounted?\n\nDo you want to delete them?";
}

bool Synchroniser::reviewActions() {
    ActionList& actions = run_.actions;
    CheckListSets sets = plannedSets(actions);
    if (!run_.frontEnd.checkList(sets))
        return false;
    keepReviewed(actions.filesToOverwrite, sets.filesToOverwrite);
    keepReviewed(actions.filesToAdd, sets.filesToAdd);
    keepReviewed(actions.filesToDelete, sets.filesToDelete);
    keepReviewed(actions.foldersToAdd, sets.foldersToAdd);
    keepReviewed(actions.foldersToDelete, sets.foldersToDelete);
    return true;
}

void Synchroniser::showReport(const char* headline) {
    run_.results.lastHeadline = headline;
    // A log cut short by a full disk must not pass for a complete record of a good run.
    if (hooks_.writeLogResults) {
        const int logError = hooks_.writeLogResults(run_.results);
        if (logError != 0 && run_.options.logOn)
            run_.results.addProblem("CSynchroniserDlg::synchronise: Could not write log file: " +
                                        run_.options.logPath,
                                    platform::errorText(logError));
    }
    run_.frontEnd.report(run_.results);
}

} // namespace velmora
