#pragma once

#include "engine/ActionExecution.h"
#include "engine/FolderAnalysis.h"
#include "engine/ProgressMeter.h"
#include "engine/RunContext.h"

#include <functional>
#include <string>

namespace velmora {

// Where the run log joins a run. Both may be left empty.
struct RunHooks {
    // Writes the results section of the run log; called as the end-of-run report opens. Answers
    // the errno of the first write to the log that failed during the run, 0 when none did.
    std::function<int(const SyncResults&)> writeLogResults;
    // Closes the run log; called at the end of every run that has logging on.
    std::function<void()> closeLog;
};

// Execute: analyse, let the user check the list, execute and report. PlanOnly: analyse and stop
// there, with the plan in the action list: no check-list, no execution, no report.
enum class RunMode { Execute, PlanOnly };

// What a run from the window asks before it deletes from the target of an empty source.
std::string emptySourceQuestion(const std::string& source, const std::string& target, std::uint64_t deletes);

// The planned target items of an action list, as the check-list shows them.
CheckListSets plannedSets(const ActionList& actions);

// How a run ended, for the caller (a batch stops after an interrupted run).
struct RunOutcome {
    bool failed = false;             // a top-level folder could not be accessed or read; nothing executed
    bool cancelled = false;          // the check-list was cancelled: no execution and no report
    bool interrupted = false;        // the stop request ended the run
    bool exitRequested = false;      // "Exit on completion": the caller ends the program
    Refusal refusal = Refusal::None; // a safeguard stopped the run before anything changed (failed is set)
    // With a refusal of the deletes: how many files and folders the plan would have removed.
    std::uint64_t plannedDeletes = 0;
};

// The run driver: analyses a source and a target folder into the action list, lets the user
// prune it, executes it and reports. Everything runs on the caller's thread, pumping the front
// end; only file copies and deletes run on worker threads.
class Synchroniser {
public:
    explicit Synchroniser(RunContext& run, RunHooks hooks = {}, ProgressMeter::Clock clock = {});

    // Both paths end in their separator. The caller has set flags.runningState (and started the
    // run log); the run leaves it 0. Results and actions keep their content until the next run.
    RunOutcome synchronise(const std::string& source, const std::string& target,
                           RunMode mode = RunMode::Execute);

    // The Stop button (or what stands for it): every loop and a waiting file command give up at
    // their next step.
    void stop(StopCause cause = StopCause::StopButton) { run_.flags.requestStop(cause); }

private:
    void startRun(RunMode mode);
    bool prepareTarget(const std::string& source, const std::string& target);
    // Applies the safeguards to the plan's deletes (asking where they say so); the refusal, if any.
    Refusal judgePlan(const std::string& source, const std::string& target, RunOutcome& outcome);
    bool checkLocations(const std::string& source, const std::string& target);
    bool answered(int error, const std::string& path);
    bool watchForOverlap(const std::string& source, const std::string& target);
    // Reports an overlap the analysis found; true when there was one.
    bool overlapFound(const std::string& source, const std::string& target);
    bool reviewActions();
    void showReport(const char* headline);

    RunContext& run_;
    RunHooks hooks_;
    ProgressMeter progress_;
    FolderAnalysis analysis_;
    ActionExecution execution_;
};

} // namespace velmora
