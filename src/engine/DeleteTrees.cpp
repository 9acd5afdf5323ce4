#include "engine/DeleteTrees.h"

namespace velmora {

namespace {

void listTree(RunContext& run, const FileItem& folder) {
    SeenFolder& seen = run.actions.seenInFoldersToDelete[folder.folderForm()];
    seen.listed = run.target.listFolder(folder.folderForm(), seen.entries);
    if (!seen.listed) {
        seen.reason = run.commands.reason().get();
        return;
    }
    for (const FileItemPtr& entry : seen.entries) {
        if (run.stopRequested())
            return;
        if (entry->kind == kFolder && !run.target.isExcludedBySecond(*entry))
            listTree(run, *entry);
    }
}

void countTree(const RunContext& run, const FileItem& folder, DeleteTally& tally) {
    const auto found = run.actions.seenInFoldersToDelete.find(folder.folderForm());
    if (found == run.actions.seenInFoldersToDelete.end() || !found->second.listed) {
        if (tally.complete) {
            tally.complete = false;
            tally.unlisted = folder.fullPath();
            tally.unlistedWhy =
                found == run.actions.seenInFoldersToDelete.end() ? "Reason not known" : found->second.reason;
        }
        return;
    }
    for (const FileItemPtr& entry : found->second.entries) {
        if (run.target.isExcludedBySecond(*entry))
            continue;
        ++tally.items;
        if (entry->kind == kFolder)
            countTree(run, *entry, tally);
    }
}

} // namespace

void listFoldersToDelete(RunContext& run) {
    run.actions.seenInFoldersToDelete.clear();
    for (const FileItemPtr& folder : run.actions.foldersToDelete) {
        if (run.stopRequested())
            return;
        listTree(run, *folder);
    }
}

DeleteTally countPlannedDeletes(const RunContext& run) {
    DeleteTally tally;
    tally.items = run.actions.filesToDelete.size() + run.actions.foldersToDelete.size();
    for (const FileItemPtr& folder : run.actions.foldersToDelete)
        countTree(run, *folder, tally);
    return tally;
}

} // namespace velmora
