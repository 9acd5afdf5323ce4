#pragma once

#include "items/FileItem.h"

#include <array>
#include <string>
#include <vector>

namespace velmora {

struct SyncResults;

enum class DeleteAnswer : int { Yes = 0, YesToAll = 1, No = 2, NoToAll = 3, Cancel = 4 };

// What one carried-out action did to its target.
enum class ActionKind { Overwrite, Add, Delete, DeleteFolder, AddFolder };

// The planned target items the check-list shows, in this order; the user may remove entries.
struct CheckListSets {
    std::vector<FileItemPtr> filesToOverwrite;
    std::vector<FileItemPtr> filesToAdd;
    std::vector<FileItemPtr> filesToDelete;
    std::vector<FileItemPtr> foldersToAdd;
    std::vector<FileItemPtr> foldersToDelete;
};

// What the progress display shows.
struct ProgressView {
    std::string activity;
    std::string phase;   // "Analysing", "Execution" or empty
    int barPosition = 0; // 0..100
    std::string percentText;
    std::string timeText; // time remaining, "hh:mm:ss"
};

// Everything the engine and the controller need from the person in front of the program.
// Each front end (desktop, command line, tests) implements it. All calls come from the thread
// that runs the engine.
class FrontEndPort {
public:
    virtual ~FrontEndPort() = default;

    // One pass of the front end's event loop, so Stop stays live. Called very often: it must
    // cost next to nothing when nothing is waiting.
    virtual void pump() = 0;
    // A notice with the program's name as caption and one OK button.
    virtual void message(const std::string& text) = 0;
    // Yes (true) or No (false).
    virtual bool question(const std::string& text) = 0;
    virtual DeleteAnswer confirmDelete(const std::string& caption,
                                       const std::array<std::string, 4>& lines) = 0;
    // OK (true, with the sets possibly pruned) or Cancel (false).
    virtual bool checkList(CheckListSets& sets) = 0;
    // The end-of-run report; results carry the source, target and headline.
    virtual void report(const SyncResults& results) = 0;
    virtual void progress(const ProgressView& view) = 0;
    // 0 idle, 1 running Location 1 to 2, 2 running Location 2 to 1.
    virtual void runningChanged(int runningState) = 0;
    // One action on a target item has been carried out, or has failed; also the files and folders
    // inside a folder tree that is added or deleted. Only a front end that lists them needs it.
    virtual void actionDone(ActionKind /*kind*/, const FileItem& /*target*/, bool /*failed*/) {}
};

} // namespace velmora
