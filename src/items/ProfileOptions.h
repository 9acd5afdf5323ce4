#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The options of one synchronisation, under one set of names wherever they are held: a profile,
// the remembered settings for when no profile is open, the main window's copy and what a run
// reads. The files keep their own key names; only their readers and writers know them.
struct ProfileOptions {
    // The eight boxes of the main window.
    bool addMissing = true;         // "Add new files/folders found in source and not found in target"
    bool deleteMissing = true;      // "Delete files/folders found in target but not found in source"
    bool confirmDeletes = false;    // "Ask for confirmation on all deletes"
    bool checkSubFolders = true;    // "Check sub-folders"
    bool checkActions = true;       // "Check list of actions before final execution"
    bool silentMode = false;        // "Silent Mode"
    bool exitOnCompletion = false;  // "Exit on completion"
    bool overwriteReadOnly = false; // "Overwrite/delete read only files"

    // More Options.
    bool copyAttributes = false;
    bool compareOnTime = true; // else on size
    std::int32_t adjustHours = 0;
    std::int32_t adjustMinutes = 0;
    bool logOn = false;
    bool logAppend = false;
    std::string logPath;
    std::int32_t autoStart = 0; // 0 off, 1 Location 1 to 2, 2 Location 2 to 1
    bool hideOtherButton = false;
};

// The eight boxes of the main window, from one holder to another.
inline void copyMainBoxes(const ProfileOptions& from, ProfileOptions& to) {
    to.addMissing = from.addMissing;
    to.deleteMissing = from.deleteMissing;
    to.confirmDeletes = from.confirmDeletes;
    to.checkSubFolders = from.checkSubFolders;
    to.checkActions = from.checkActions;
    to.silentMode = from.silentMode;
    to.exitOnCompletion = from.exitOnCompletion;
    to.overwriteReadOnly = from.overwriteReadOnly;
}

} // namespace velmora
