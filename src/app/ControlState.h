#pragma once

#include "engine/RunFlags.h"

#include <string>

namespace velmora {

// One control of the main window as the view shows it.
struct ControlView {
    bool enabled = true;
    bool visible = true;
    bool operator==(const ControlView&) const = default;
};

// Everything the main window's view needs to show its controls: computed by the controller after
// every change of state, applied by the view, read by the tests.
struct ControlState {
    // File commands.
    ControlView open, close, save, saveAs, profileSelector;
    // Locations.
    ControlView location1, location2, browse1, browse2;
    // The synchronise pair in use (text or icon style, see iconButtons).
    ControlView synchronise12, synchronise21;
    bool iconButtons = false; // "No text, large arrows"
    // The eight option boxes.
    ControlView addMissing, deleteMissing, confirmDeletes, checkSubFolders, checkActions, silentMode,
        exitOnCompletion, overwriteReadOnly;
    // Other buttons.
    ControlView exclusions, moreOptions, batch, runBatch, lastReport, stop, exit, configuration, help;
    // The "Silent Mode" labels on the synchronise buttons.
    ControlView silentLabels;
    // The "Running" frames around each synchronise button and around "Run Batch".
    ControlView runningFrame12, runningFrame21, runningFrameBatch;
    std::string runningFrameCaption = "Running"; // or "Silent Running"
    // Progress bar, "Progress", percent, "%        Time remaining" and the time text.
    ControlView progress;

    bool operator==(const ControlState&) const = default;
};

// What the control state depends on.
struct ControlInputs {
    RunningState runningState = RunningState::Idle;
    bool batchRunning = false;
    bool silentMode = false;
    bool checkActions = false;
    bool batchModified = false;
    bool profileModified = false;
    bool selectorEmpty = true;
    bool batchHasProfiles = false;
    bool lastReportKnown = false;
    bool iconButtons = false;
    // Which synchronise buttons are shown (kept by the controller: with no profile open they stay
    // as they were).
    bool show12 = true;
    bool show21 = true;
};

ControlState computeControlState(const ControlInputs& in);

} // namespace velmora
