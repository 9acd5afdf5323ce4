#include "engine/PlannedDeletes.h"

namespace velmora {

namespace {

void countTree(RunContext& run, const FileItem& folder, DeleteTally& tally) {
    std::vector<FileItemPtr> entries;
    if (!run.target.listFolder(folder.folderForm(), entries)) {
        tally.complete = false;
        run.results.addProblem("CSynchroniserDlg::synchronise: Could not count what is in folder: " +
                                   folder.fullPath(),
                               run.commands.reason().get());
        return;
    }
    for (const FileItemPtr& entry : entries) {
        if (run.stopRequested())
            return;
        if (run.target.isExcludedBySecond(*entry))
            continue;
        ++tally.items;
        if (entry->kind == kFolder)
            countTree(run, *entry, tally);
    }
}

} // namespace

DeleteTally countPlannedDeletes(RunContext& run) {
    DeleteTally tally;
    tally.items = run.actions.filesToDelete.size() + run.actions.foldersToDelete.size();
    for (const FileItemPtr& folder : run.actions.foldersToDelete) {
        if (run.stopRequested())
            break;
        countTree(run, *folder, tally);
    }
    return tally;
}

} // namespace velmora
