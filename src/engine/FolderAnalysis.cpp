#include "engine/FolderAnalysis.h"

#include "engine/DeleteConfirmation.h"
#include "engine/FileComparison.h"
#include "engine/GuardedCalls.h"
#include "engine/TargetItem.h"
#include "items/PathOrder.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

} // namespace

// Whether the target folder takes names differing in case alone for one file, asked of the file
// system only when a name pair depends on it (never on a run where every name is found as it is).
// A file system whose kind does not tell (a FUSE or network mount of a case-blind disk) shows it
// when the source's spelling, missing from the listing, still names a file there: deleting the
// listed name after adding that spelling would then delete the only file.
// Both questions run under the command timeout; one the folder does not answer is taken as
// "folds", the answer that never takes one file for two.
bool FolderAnalysis::TargetCase::folds(const std::string& sourceName) {
    if (answer_ < 0) {
        bool folds = true;
        guardedResult(commands_, folds, [fs = &fileSystem_, folder = folder_](bool& out) {
            return (out = fs->foldsCase(folder)), 0;
        });
        answer_ = folds ? 1 : 0;
    }
    if (answer_ == 1)
        return true;
    platform::FileAttributes attributes;
    const int error = guardedAttributes(commands_, fileSystem_, folder_ + sourceName, attributes);
    return error == 0 || error == ETIMEDOUT;
}

namespace {

// Pairs each source entry with a target entry of the same name (both lists sorted by name with
// ASCII case ignored), marking the targets taken in `matched`. Every name first takes the target
// with the very same bytes. Only where the target folder ignores case do the names left over pair
// with a target that differs in case alone: where it tells case apart, that target is another file
// (a name whose case changed is then deleted in its old form and added in its new one).
std::vector<std::size_t> pairByName(const std::vector<FileItemPtr>& sources,
                                    const std::vector<FileItemPtr>& targets, std::vector<bool>& matched,
                                    FolderAnalysis::TargetCase& targetCase) {
    std::vector<std::size_t> pairs(sources.size(), kNotFound);
    auto range = [&](const std::string& name) {
        auto first = std::lower_bound(
            targets.begin(), targets.end(), name,
            [](const FileItemPtr& item, const std::string& n) { return compareNames(item->name, n) < 0; });
        return static_cast<std::size_t>(first - targets.begin());
    };
    for (const bool exactOnly : {true, false}) {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            if (pairs[i] != kNotFound)
                continue;
            const std::string& name = sources[i]->name;
            for (std::size_t t = range(name); t < targets.size() && compareNames(targets[t]->name, name) == 0;
                 ++t) {
                if (!matched[t] && (!exactOnly || targets[t]->name == name)) {
                    if (!exactOnly && !targetCase.folds(name))
                        break;
                    pairs[i] = t;
                    matched[t] = true;
                    break;
                }
            }
        }
    }
    return pairs;
}

// Source names differing in letter case alone (Make, make) are two files, but a target folder
// that ignores case can keep only one of them: the one already paired with a target entry, else
// the first in byte order. Each other one is left out with a problem (true here), run after run,
// rather than copied over the first.
std::vector<bool> leaveOutCaseTwins(const std::vector<FileItemPtr>& sources,
                                    const std::vector<std::size_t>& pairs, const std::string& targetFolder,
                                    const char* problem, FolderAnalysis::TargetCase& targetCase,
                                    SyncResults& results) {
    std::vector<bool> leftOut(sources.size(), false);
    for (std::size_t first = 0; first < sources.size();) {
        std::size_t end = first + 1;
        while (end < sources.size() && compareNames(sources[end]->name, sources[first]->name) == 0)
            ++end;
        // Asked with a name the target's listing lacks: where all of them are there, it tells case apart.
        const auto unpaired = std::find(pairs.begin() + static_cast<std::ptrdiff_t>(first),
                                        pairs.begin() + static_cast<std::ptrdiff_t>(end), kNotFound);
        if (end - first > 1 && unpaired != pairs.begin() + static_cast<std::ptrdiff_t>(end) &&
            targetCase.folds(sources[static_cast<std::size_t>(unpaired - pairs.begin())]->name)) {
            std::size_t kept = first;
            for (std::size_t i = first; i < end; ++i) {
                if (pairs[i] != kNotFound) {
                    kept = i;
                    break;
                }
                if (sources[i]->name < sources[kept]->name)
                    kept = i;
            }
            for (std::size_t i = first; i < end; ++i) {
                if (i == kept)
                    continue;
                leftOut[i] = true;
                results.addProblem(problem + targetFolder + sources[i]->name,
                                   sources[i]->name + " differs from " + sources[kept]->name +
                                       " only in letter case; the target cannot keep both");
            }
        }
        first = end;
    }
    return leftOut;
}

} // namespace

bool FolderAnalysis::analyseDirectory(const std::string& sourceFolder, const std::string& targetFolder) {
    if (depth_ == 0)
        sourceEmpty_ = false;
    if (!run_.source.isAvailable() || !run_.target.isAvailable())
        return false;
    // A missing target has no sub-folders to pair, so only the top level ever takes it as empty.
    if (!canAccess(sourceFolder, "CSynchroniserDlg::analyseDirectory (src): Could not access folder: ") ||
        (!targetMissing_ &&
         !canAccess(targetFolder, "CSynchroniserDlg::analyseDirectory (dst): Could not access folder: ")))
        return false;

    std::vector<FileItemPtr> sourceFiles, sourceFolders, targetFiles, targetFolders;
    if (!canRead(run_.source, sourceFolder,
                 "CSynchroniserDlg::analyseDirectory (src): Could not read folder: ", sourceFiles,
                 sourceFolders) ||
        (!targetMissing_ && !canRead(run_.target, targetFolder,
                                     "CSynchroniserDlg::analyseDirectory (dst): Could not read folder: ",
                                     targetFiles, targetFolders)))
        return false;
    if (depth_ == 0)
        sourceEmpty_ = sourceFiles.empty() && sourceFolders.empty();

    TargetCase targetCase(run_.commands, run_.fileSystem, targetFolder);
    std::vector<bool> matchedFiles(targetFiles.size(), false);
    planFiles(targetFolder, sourceFiles, targetFiles, matchedFiles, targetCase);
    if (run_.options.deleteMissing)
        planDeletes(targetFiles, matchedFiles, false);

    if (!run_.options.checkSubFolders)
        return true;

    std::vector<bool> matchedFolders(targetFolders.size(), false);
    planFolders(sourceFolders, targetFolder, targetFolders, matchedFolders, targetCase);
    if (run_.options.deleteMissing && !run_.stopRequested())
        planDeletes(targetFolders, matchedFolders, true);
    return true;
}

bool FolderAnalysis::canAccess(const std::string& folder, const char* problem) {
    platform::FileAttributes attributes;
    const int error = guardedAttributes(run_.commands, run_.fileSystem, folder, attributes);
    // After Stop the listing ends the folder as it ends every other.
    if (error == 0 || givenUpByStop(error))
        return true;
    run_.results.addProblem(problem + folder, run_.commands.reason().get());
    return false;
}

bool FolderAnalysis::canRead(LocationAccess& access, const std::string& folder, const char* problem,
                             std::vector<FileItemPtr>& files, std::vector<FileItemPtr>& folders) {
    if (access.readFolder(folder, files, folders))
        return true;
    // The access has left the reason of the failed listing.
    run_.results.addProblem(problem + folder, run_.commands.reason().get());
    return false;
}

void FolderAnalysis::planFiles(const std::string& targetFolder, const std::vector<FileItemPtr>& sourceFiles,
                               const std::vector<FileItemPtr>& targetFiles, std::vector<bool>& matched,
                               TargetCase& targetCase) {
    const std::vector<std::size_t> pairs = pairByName(sourceFiles, targetFiles, matched, targetCase);
    const std::vector<bool> leftOut = leaveOutCaseTwins(
        sourceFiles, pairs, targetFolder,
        "CSynchroniserDlg::analyseDirectory (dst): Could not add file: ", targetCase, run_.results);
    for (std::size_t i = 0; i < sourceFiles.size(); ++i) {
        if (run_.stopRequested())
            break;
        if (leftOut[i])
            continue;
        const FileItemPtr& source = sourceFiles[i];
        const std::size_t index = pairs[i];
        if (index != kNotFound) {
            const FileItemPtr& target = targetFiles[index];
            progress_.setActivity("Checking file: " + source->fullPath());
            if (sourceDiffers(*source, *target, run_.options) && !run_.target.isExcludedByFirst(*source) &&
                !run_.target.isExcludedBySecond(*target)) {
                if (run_.actions.filesToOverwrite.emplace(source, target).second)
                    target->state = kOverwrite;
            }
            // Paired targets are never deleted, whether they differed, were excluded or not.
        } else if (run_.options.addMissing && !run_.source.isExcludedByFirst(*source)) {
            run_.actions.filesToAdd.emplace(
                source, makeTargetItem(*source, targetFolder, run_.target.usesForwardSlashes()));
        }
    }
}

void FolderAnalysis::planFolders(const std::vector<FileItemPtr>& sourceFolders,
                                 const std::string& targetFolder,
                                 const std::vector<FileItemPtr>& targetFolders, std::vector<bool>& matched,
                                 TargetCase& targetCase) {
    const std::vector<std::size_t> pairs = pairByName(sourceFolders, targetFolders, matched, targetCase);
    const std::vector<bool> leftOut = leaveOutCaseTwins(
        sourceFolders, pairs, targetFolder,
        "CSynchroniserDlg::analyseDirectory (dst): Could not add folder: ", targetCase, run_.results);
    for (std::size_t i = 0; i < sourceFolders.size(); ++i) {
        if (run_.stopRequested())
            break;
        if (leftOut[i])
            continue;
        const FileItemPtr& source = sourceFolders[i];
        progress_.setActivity("Checking folder: " + source->fullPath());
        const std::size_t index = pairs[i];
        if (index == kNotFound) {
            // The whole tree is copied at execution; its content is not analysed.
            if (run_.options.addMissing && !run_.source.isExcludedByFirst(*source))
                run_.actions.foldersToAdd.emplace(
                    source, makeTargetItem(*source, targetFolder, run_.target.usesForwardSlashes()));
            continue;
        }
        const FileItemPtr& target = targetFolders[index];
        if (!run_.target.isExcludedByFirst(*source) && !run_.target.isExcludedBySecond(*target)) {
            ++depth_;
            analyseDirectory(source->folderForm(), target->folderForm()); // its failure stays local
            --depth_;
        }
    }
}

void FolderAnalysis::planDeletes(const std::vector<FileItemPtr>& targets, const std::vector<bool>& matched,
                                 bool folders) {
    DeleteConfirmation confirmation(run_.frontEnd, run_.options.silentMode);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (run_.stopRequested())
            break;
        const FileItemPtr& target = targets[i];
        if (matched[i] || run_.target.isExcludedBySecond(*target))
            continue;
        run_.frontEnd.pump();
        if (run_.options.confirmDeletes) {
            const auto answer =
                folders ? confirmation.ask("Delete Sub-Folder", "Delete sub-folder: " + target->fullPath(),
                                           run_.flags.yesToAllFolders, run_.flags.noToAllFolders)
                        : confirmation.ask("Delete File", "Delete file: " + target->fullPath(),
                                           run_.flags.yesToAllFiles, run_.flags.noToAllFiles);
            if (answer == DeleteConfirmation::Result::CancelRun)
                run_.flags.requestStop(StopCause::Cancel);
            if (answer != DeleteConfirmation::Result::GoAhead)
                continue;
        }
        target->state = kDelete;
        // A folder is deleted whole at execution; its content is not analysed.
        (folders ? run_.actions.foldersToDelete : run_.actions.filesToDelete).insert(target);
    }
}

} // namespace velmora
