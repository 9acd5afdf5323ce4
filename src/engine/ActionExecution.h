#pragma once

#include "engine/CommandPipeline.h"
#include "engine/ProgressMeter.h"
#include "engine/RunContext.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

// Carries out a run's action list through the target access and the file commands and fills
// the results: counts, done and failure sets, two problem lines per failure. No failure stops
// the execution; the stop request ends the current loop and skips every later step.
class ActionExecution {
public:
    ActionExecution(RunContext& run, ProgressMeter& progress)
        : run_(run), progress_(progress), pipeline_(run.target, 1) {}

    // Sets results.workTotal: 1024 per action plus the bytes to copy, folder trees listed.
    void estimateWork();
    // Overwrites, adds, file deletes, folder deletes, folder adds, in path order within each.
    void processFiles();
    // Deletes what the folder holds except excluded entries, then the folder itself (which
    // then fails while excluded entries remain). Never descends through a link: links are
    // listed as files, so only the link goes.
    void deleteDirectory(const FileItemPtr& folder);
    // Creates the target folder and copies the source folder's content except excluded entries.
    void copyDirectory(const FileItemPtr& source, const FileItemPtr& target);

private:
    // The work of copying a folder tree: its listings are kept for the copy, up to a bound.
    std::uint64_t copyWork(const FileItem& folder);
    // The work of deleting a folder and what the plan saw in it.
    std::uint64_t deleteWork(const FileItem& folder) const;
    void explainFolderLeft(const FileItem& folder, const std::vector<FileItemPtr>& seen);
    void copyPlanned(const FileItemPtr& source, const FileItemPtr& target, bool overwrite);
    void deleteTreeFile(const FileItemPtr& file);
    // Copies the source folder's entries into the new target folder, all of them settled at the end.
    void copyContents(const FileItemPtr& source, const FileItemPtr& target);
    // Puts a started copy or delete in flight; when it ends (in the order started) it is counted
    // into `count` and `done`, or recorded as `failure` + its path into `failures`.
    void queue(PendingCommand command, ActionKind kind, const FileItemPtr& target, std::int32_t& count,
               ItemSet& done, const char* failure, ItemSet& failures);
    bool announce(std::string activity);
    void dropKeptListings();
    bool createdByThisRun(const FileItemPtr& folder) const;
    void recordFailure(std::string message, const FileItemPtr& item, ItemSet& failures);

    RunContext& run_;
    ProgressMeter& progress_;
    // Copies and deletes of files in flight, up to the run's number of parallel commands.
    CommandPipeline pipeline_;
    // Listings of source folders to add, read for the estimate and kept for their copy, so that
    // such a folder is listed once (a file status call per entry saved). Bounded: a big tree keeps
    // only its first folders' listings, and each is dropped once its folder is copied.
    std::unordered_map<std::string, std::vector<FileItemPtr>> keptListings_;
    std::size_t keptEntries_ = 0;
};

} // namespace velmora
