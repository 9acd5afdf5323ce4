#include "engine/ActionExecution.h"

#include "engine/GuardedCalls.h"
#include "engine/TargetItem.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <utility>
#include <vector>

namespace velmora {

namespace {

constexpr std::uint64_t kActionWork = 1024;
// Entries of the listings kept between the estimate and the copy, per run: about two megabytes,
// which the memory of a big run's results dwarfs.
constexpr std::size_t kKeptEntries = 10000;

// Whether a folder to delete has this path, letter case aside: where the target ignores case, that
// folder holds the name until it is gone. (Names equal but for case sit next to each other in the set.)
bool takesPlaceOfFolder(const ItemSet& folders, const FileItemPtr& target) {
    const auto at = folders.lower_bound(target);
    if (at != folders.end() && comparePaths(**at, *target) == 0)
        return true;
    return at != folders.begin() && comparePaths(**std::prev(at), *target) == 0;
}

} // namespace

void ActionExecution::estimateWork() {
    dropKeptListings();
    const ActionList& actions = run_.actions;
    std::uint64_t total = 0;
    for (const ItemMap* files : {&actions.filesToOverwrite, &actions.filesToAdd})
        for (const auto& [source, target] : *files)
            total += source->size + kActionWork;
    total += kActionWork * actions.filesToDelete.size();
    for (const auto& [source, target] : actions.foldersToAdd)
        total += copyWork(*source);
    for (const FileItemPtr& folder : actions.foldersToDelete)
        total += deleteWork(*folder);
    run_.results.workTotal = total;
}

std::uint64_t ActionExecution::deleteWork(const FileItem& folder) const {
    std::uint64_t work = kActionWork;
    const auto seen = run_.actions.seenInFoldersToDelete.find(folder.folderForm());
    if (seen == run_.actions.seenInFoldersToDelete.end())
        return work;
    for (const FileItemPtr& entry : seen->second.entries)
        work += entry->kind == kFolder ? deleteWork(*entry) : kActionWork;
    return work;
}

std::uint64_t ActionExecution::copyWork(const FileItem& folder) {
    std::uint64_t work = kActionWork;
    std::vector<FileItemPtr> entries;
    if (!run_.source.listFolder(folder.folderForm(), entries))
        return work;
    for (const FileItemPtr& entry : entries)
        work += entry->kind == kFolder ? copyWork(*entry) : kActionWork + entry->size;
    // A listing given up on Stop may be incomplete; the run ends anyway.
    if (!run_.stopRequested() && keptEntries_ + entries.size() <= kKeptEntries) {
        keptEntries_ += entries.size();
        keptListings_.emplace(folder.folderForm(), std::move(entries));
    }
    return work;
}

void ActionExecution::processFiles() {
    ActionList& actions = run_.actions;
    SyncResults& results = run_.results;
    pipeline_.setDepth(run_.commands.queueDepth());

    // Each step ends with all its commands done: the next may depend on them (an add in the
    // place of a file just deleted, on a file system that ignores letter case).
    for (const auto& [source, target] : actions.filesToOverwrite) {
        if (run_.stopRequested())
            break;
        copyPlanned(source, target, true);
    }
    pipeline_.drain();

    // A file that takes the place of a folder to delete can only be added once the folder is
    // gone, so those adds wait for the folder deletes.
    std::vector<std::pair<FileItemPtr, FileItemPtr>> afterFolderDeletes;
    for (const auto& [source, target] : actions.filesToAdd) {
        if (run_.stopRequested())
            break;
        if (takesPlaceOfFolder(actions.foldersToDelete, target))
            afterFolderDeletes.emplace_back(source, target);
        else
            copyPlanned(source, target, false);
    }
    pipeline_.drain();

    for (const FileItemPtr& target : actions.filesToDelete) {
        if (run_.stopRequested())
            break;
        pipeline_.makeRoom();
        if (!announce("Deleting file: " + target->fullPath()))
            break;
        queue(run_.target.startDelete(*target), ActionKind::Delete, target, results.counts.deletedFiles,
              results.deleted,
              "CSynchroniserDlg::processFiles (delete): Could not delete file: ", results.failedDeleted);
    }
    pipeline_.drain();

    for (const FileItemPtr& folder : actions.foldersToDelete) {
        if (run_.stopRequested())
            break;
        if (!announce("Deleting folder: " + folder->fullPath()))
            break;
        deleteDirectory(folder);
    }

    for (const auto& [source, target] : afterFolderDeletes) {
        if (run_.stopRequested())
            break;
        copyPlanned(source, target, false);
    }
    pipeline_.drain();

    for (const auto& [source, target] : actions.foldersToAdd) {
        if (run_.stopRequested())
            break;
        if (!announce("Adding folder: " + target->fullPath()))
            break;
        copyDirectory(source, target);
    }

    progress_.setActivity("Done");
    dropKeptListings(); // those of folders a Stop left uncopied
}

void ActionExecution::dropKeptListings() {
    keptListings_.clear();
    keptEntries_ = 0;
}

void ActionExecution::copyPlanned(const FileItemPtr& source, const FileItemPtr& target, bool overwrite) {
    SyncResults& results = run_.results;
    pipeline_.makeRoom();
    if (!announce((overwrite ? "Overwriting file: " : "Adding file: ") + target->fullPath()))
        return;
    if (overwrite)
        queue(run_.target.startCopy(*source, *target), ActionKind::Overwrite, target,
              results.counts.overwrittenFiles, results.overwritten,
              "CSynchroniserDlg::processFiles (overwrite): Could not copy file: ", results.failedOverwritten);
    else
        queue(run_.target.startCopy(*source, *target), ActionKind::Add, target, results.counts.addedFiles,
              results.added,
              "CSynchroniserDlg::processFiles (add): Could not copy file: ", results.failedAdded);
}

void ActionExecution::queue(PendingCommand command, ActionKind kind, const FileItemPtr& target,
                            std::int32_t& count, ItemSet& done, const char* failure, ItemSet& failures) {
    pipeline_.add(std::move(command),
                  [this, kind, target, &count, &done, failure, &failures](bool succeeded) {
                      run_.frontEnd.actionDone(kind, *target, !succeeded);
                      if (succeeded) {
                          ++count;
                          done.insert(target);
                      } else {
                          recordFailure(failure + target->fullPath(), target, failures);
                      }
                      run_.results.workDone += kActionWork;
                  });
}

void ActionExecution::deleteDirectory(const FileItemPtr& folder) {
    SyncResults& results = run_.results;
    // The plan saw a folder here, but a link may have taken its place since: listing it would
    // list the folder it points at, and the deletes would reach outside the target.
    platform::FileAttributes attributes;
    if (const int error = guardedAttributes(run_.commands, run_.fileSystem, folder->fullPath(), attributes);
        error != 0 || !attributes.isDirectory) {
        if (error == 0)
            run_.commands.reason().setFromError(ENOTDIR);
        recordFailure("CSynchroniserDlg::deleteDirectory: Could not delete folder: " + folder->fullPath(),
                      folder, results.failedDeletedFolders);
        run_.frontEnd.actionDone(ActionKind::DeleteFolder, *folder, true);
        results.workDone += kActionWork;
        return;
    }
    // Only what the plan saw in it is deleted; what is new there since keeps the folder.
    const auto seen = run_.actions.seenInFoldersToDelete.find(folder->folderForm());
    if (seen == run_.actions.seenInFoldersToDelete.end() || !seen->second.listed) {
        // What the folder holds is unknown, so it is left alone with the listing's reason.
        if (seen != run_.actions.seenInFoldersToDelete.end())
            run_.commands.reason().set(seen->second.reason);
        else
            run_.commands.reason().set("Reason not known");
        recordFailure("CSynchroniserDlg::deleteDirectory: Could not delete folder: " + folder->fullPath(),
                      folder, results.failedDeletedFolders);
        run_.frontEnd.actionDone(ActionKind::DeleteFolder, *folder, true);
        results.workDone += kActionWork;
        return;
    }
    const std::vector<FileItemPtr>& entries = seen->second.entries;
    for (const FileItemPtr& entry : entries) {
        run_.frontEnd.pump();
        if (run_.stopRequested())
            break;
        if (run_.target.isExcludedBySecond(*entry))
            continue;
        entry->state = kDelete;
        if (entry->kind == kFolder) {
            pipeline_.drain();
            deleteDirectory(entry);
        } else {
            deleteTreeFile(entry);
        }
    }
    // The folder goes after its files.
    pipeline_.drain();
    // An interrupted tree keeps its folder.
    if (run_.stopRequested())
        return;

    if (!announce("Deleting folder: " + folder->fullPath()))
        return;
    if (run_.commands.removeFolder(folder->fullPath(), run_.options.overwriteReadOnly)) {
        ++results.counts.deletedFolders;
        results.deletedFolders.insert(folder);
        run_.frontEnd.actionDone(ActionKind::DeleteFolder, *folder, false);
    } else {
        explainFolderLeft(*folder, entries);
        recordFailure("CSynchroniserDlg::deleteDirectory: Could not delete folder: " + folder->fullPath(),
                      folder, results.failedDeletedFolders);
        run_.frontEnd.actionDone(ActionKind::DeleteFolder, *folder, true);
    }
    results.workDone += kActionWork;
}

void ActionExecution::deleteTreeFile(const FileItemPtr& file) {
    SyncResults& results = run_.results;
    pipeline_.makeRoom();
    if (!announce("Deleting file: " + file->fullPath()))
        return;
    queue(run_.target.startDelete(*file), ActionKind::Delete, file, results.counts.deletedFiles,
          results.deleted,
          "CSynchroniserDlg::deleteDirectory: Could not delete file: ", results.failedDeleted);
}

void ActionExecution::copyDirectory(const FileItemPtr& source, const FileItemPtr& target) {
    SyncResults& results = run_.results;
    results.workDone += kActionWork;

    // A private source folder must not become a public target folder, so its mode is read in any case.
    std::int64_t sourceMode = -1;
    platform::FileAttributes sourceAttributes;
    if (guardedAttributes(run_.commands, run_.fileSystem, source->fullPath(), sourceAttributes) == 0)
        sourceMode = sourceAttributes.mode & 07777;
    platform::FileAttributes existing;
    const bool isNew = guardedAttributes(run_.commands, run_.fileSystem, target->fullPath(), existing) != 0;
    const bool created = run_.target.createFolder(*target, sourceMode);
    run_.frontEnd.actionDone(ActionKind::AddFolder, *target, !created);
    if (!created) {
        recordFailure("CSynchroniserDlg::copyDirectory: Could not add folder: " + target->fullPath(), target,
                      results.failedAddedFolders);
        return;
    }
    ++results.counts.addedFolders;
    results.addedFolders.insert(target);

    copyContents(source, target);
    // The exact bits only now that the contents are in: a read-only folder would have refused them.
    // A folder that was there already keeps its own.
    if (run_.options.copyAttributes && isNew && sourceMode >= 0)
        run_.fileSystem.setAttributes(target->fullPath(), static_cast<std::uint32_t>(sourceMode));
}

void ActionExecution::copyContents(const FileItemPtr& source, const FileItemPtr& target) {
    SyncResults& results = run_.results;
    std::vector<FileItemPtr> entries;
    if (auto kept = keptListings_.find(source->folderForm()); kept != keptListings_.end()) {
        entries = std::move(kept->second);
        keptListings_.erase(kept);
    } else if (!run_.source.listFolder(source->folderForm(), entries)) {
        // The folder stands but its content could not be copied: say so rather than pass it as done.
        results.addProblem("CSynchroniserDlg::copyDirectory: Could not read folder: " + source->fullPath(),
                           run_.commands.reason().get());
        return;
    }
    const std::string targetFolder = target->folderForm();
    for (const FileItemPtr& entry : entries) {
        run_.frontEnd.pump();
        if (run_.stopRequested())
            break;
        if (run_.source.isExcludedByFirst(*entry))
            continue;
        // With the target inside the source tree the listing shows the copies this run is making;
        // copying them again would never end.
        if (entry->kind == kFolder && createdByThisRun(entry))
            continue;
        FileItemPtr targetEntry = makeTargetItem(*entry, targetFolder, run_.target.usesForwardSlashes());
        if (entry->kind == kFolder) {
            // What the sub-folder records comes after what this folder's files before it record.
            pipeline_.drain();
            copyDirectory(entry, targetEntry);
            continue;
        }
        pipeline_.makeRoom();
        if (!announce("Adding file: " + targetEntry->fullPath()))
            break;
        queue(run_.target.startCopy(*entry, *targetEntry), ActionKind::Add, targetEntry,
              results.counts.addedFiles, results.added,
              "CSynchroniserDlg::copyDirectory: Could not add file: ", results.failedAdded);
    }
    pipeline_.drain();
}

// A folder that is not empty after its deletes: when it holds a name the plan did not see there,
// that is the reason, rather than the system's "Directory not empty".
void ActionExecution::explainFolderLeft(const FileItem& folder, const std::vector<FileItemPtr>& seen) {
    if (run_.commands.reason().get() != platform::errorText(ENOTEMPTY))
        return;
    std::vector<FileItemPtr> now;
    if (!run_.target.listFolder(folder.folderForm(), now))
        return;
    for (const FileItemPtr& entry : now) {
        const bool wasSeen = std::any_of(seen.begin(), seen.end(),
                                         [&](const FileItemPtr& old) { return old->name == entry->name; });
        if (!wasSeen) {
            run_.commands.reason().set("The folder changed after the analysis: " + entry->name +
                                       " is new in it");
            return;
        }
    }
}

bool ActionExecution::createdByThisRun(const FileItemPtr& folder) const {
    // The path ordering ignores ASCII case; on Linux only the very same bytes name the same folder.
    const auto found = run_.results.addedFolders.find(folder);
    return found != run_.results.addedFolders.end() && (*found)->fullPath() == folder->fullPath();
}

bool ActionExecution::announce(std::string activity) {
    // Showing the activity pumps the front end, where Stop may just have been pressed: a command
    // started now would only be abandoned at once.
    progress_.setActivity(std::move(activity));
    return !run_.stopRequested();
}

void ActionExecution::recordFailure(std::string message, const FileItemPtr& item, ItemSet& failures) {
    // A command given up on Stop leaves no reason of its own; the last one would belong to
    // another failure.
    run_.results.addProblem(std::move(message),
                            run_.stopRequested() ? std::string("Stopped") : run_.commands.reason().get());
    item->failed = true;
    failures.insert(item);
}

} // namespace velmora
