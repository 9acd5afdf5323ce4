#include "app/ControlState.h"

namespace velmora {

ControlState computeControlState(const ControlInputs& in) {
    ControlState s;
    s.runningFrameCaption = in.silentMode ? "Silent Running" : "Running";
    s.iconButtons = in.iconButtons;

    s.save.enabled = in.batchModified || in.selectorEmpty || in.profileModified;
    s.close.enabled = !in.selectorEmpty;
    s.synchronise12.visible = in.show12;
    s.synchronise21.visible = in.show21;
    s.runBatch.visible = in.batchHasProfiles;
    s.lastReport.enabled = in.lastReportKnown;
    s.runningFrameBatch.visible = in.batchRunning;

    ControlView* const editing[] = {&s.lastReport,
                                    &s.open,
                                    &s.close,
                                    &s.save,
                                    &s.saveAs,
                                    &s.profileSelector,
                                    &s.exclusions,
                                    &s.browse1,
                                    &s.browse2,
                                    &s.addMissing,
                                    &s.deleteMissing,
                                    &s.confirmDeletes,
                                    &s.checkSubFolders,
                                    &s.checkActions,
                                    &s.silentMode,
                                    &s.exitOnCompletion,
                                    &s.overwriteReadOnly,
                                    &s.moreOptions,
                                    &s.batch,
                                    &s.location1,
                                    &s.location2,
                                    &s.exit};
    if (in.runningState != RunningState::Idle) {
        s.silentLabels.visible = false;
        for (ControlView* control : editing)
            control->enabled = false;
        s.stop.enabled = true;
        s.progress.visible = true;
        s.runningFrame12.visible = in.runningState == RunningState::OneToTwo;
        s.runningFrame21.visible = in.runningState != RunningState::OneToTwo;
        return s;
    }

    s.silentLabels.visible = in.silentMode;
    s.confirmDeletes.enabled = !in.checkActions && !in.silentMode;
    s.checkActions.enabled = !in.silentMode;
    s.stop.enabled = false;
    s.runningFrame12.visible = false;
    s.runningFrame21.visible = false;
    s.progress.visible = false;
    return s;
}

} // namespace velmora
