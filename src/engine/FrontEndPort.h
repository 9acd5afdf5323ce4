#pragma once

#include "engine/RunFlags.h"
#include "items/FileItem.h"

#include <array>
#include <string>
#include <vector>

namespace velmora {

struct SyncResults;

enum class DeleteAnswer : int { Yes = 0, YesToAll = 1, No = 2, NoToAll = 3, Cancel = 4 };

// What one carried-out action did to its target.
// RemoveLeftover: a temporary file an interrupted run of this program left, removed.
enum class ActionKind { Overwrite, Add, Delete, DeleteFolder, AddFolder, RemoveLeftover };

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

// A file or folder the program asks the user to pick.
struct FileChoice {
    enum class Kind { OpenOne, OpenSeveral, Save, Folder };
    // One line of the type list: what the user reads and the patterns it stands for.
    struct Filter {
        std::string label;   // "Velmora profile (*.vmp)"
        std::string pattern; // "*.vmp"
    };
    Kind kind = Kind::OpenOne;
    std::string title;
    std::vector<Filter> filters;
    std::string defaultExtension;   // without the dot; added to a name typed without one
    std::string startFolder;        // or a file in it
    bool mustExist = true;          // opening only: the chosen files must exist
    bool askBeforeOverwrite = true; // saving only
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
    // A question whose Yes may lose data: No is the answer a hurried Enter gives.
    virtual bool cautiousQuestion(const std::string& text) = 0;
    virtual DeleteAnswer confirmDelete(const std::string& caption,
                                       const std::array<std::string, 4>& lines) = 0;
    // OK (true, with the sets possibly pruned) or Cancel (false).
    virtual bool checkList(CheckListSets& sets) = 0;
    // The end-of-run report; results carry the source, target and headline.
    virtual void report(const SyncResults& results) = 0;
    virtual void progress(const ProgressView& view) = 0;
    // A run started (and in which direction) or ended.
    virtual void runningChanged(RunningState runningState) = 0;
    // One action on a target item has been carried out, or has failed; also the files and folders
    // inside a folder tree that is added or deleted. Only a front end that lists them needs it.
    virtual void actionDone(ActionKind /*kind*/, const FileItem& /*target*/, bool /*failed*/) {}
    // The chosen paths (one, or several for OpenSeveral), or none when the user cancelled. A
    // front end that cannot ask (a command line) keeps this answer.
    virtual std::vector<std::string> chooseFiles(const FileChoice& /*request*/) { return {}; }
};

} // namespace velmora
