#pragma once

namespace velmora {

// The eight option check boxes of the main window; a run reads them.
struct LiveOptions {
    bool addFiles = true;           // "Add new files/folders found in source and not found in target"
    bool deleteFiles = true;        // "Delete files/folders found in target but not found in source"
    bool confirmDeletes = false;    // "Ask for confirmation on all deletes"
    bool checkSubFolders = true;    // "Check sub-folders"
    bool checkActions = true;       // "Check list of actions before final execution"
    bool silentMode = false;        // "Silent Mode"
    bool exitOnCompletion = false;  // "Exit on completion"
    bool overwriteReadOnly = false; // "Overwrite/delete read only files"
};

// One check box, for setting it by name.
enum class OptionBox {
    AddFiles,
    DeleteFiles,
    ConfirmDeletes,
    CheckSubFolders,
    CheckActions,
    SilentMode,
    ExitOnCompletion,
    OverwriteReadOnly
};

} // namespace velmora
