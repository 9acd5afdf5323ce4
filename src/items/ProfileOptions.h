#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The options of one synchronisation, under one set of names wherever they are held: a profile,
// the remembered settings for when no profile is open, the main window's copy and what a run
// reads. The files keep their own key names; only their readers and writers know them.
// Which way a profile runs by itself when it is opened from the command line.
enum class AutoStartDirection : std::int32_t { Off = 0, OneToTwo = 1, TwoToOne = 2 };

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
    // Any other number read from a file is kept as it is, and starts nothing.
    AutoStartDirection autoStart = AutoStartDirection::Off;
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
