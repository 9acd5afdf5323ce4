#include "views/RunViews.h"

#include "engine/SyncResults.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

namespace velmora::views {

// Plain boxes until the check-list and report dialogs of their own take their places.

bool showCheckList(QWidget* parent, CheckListSets& sets) {
    const std::size_t planned = sets.filesToOverwrite.size() + sets.filesToAdd.size() +
                                sets.filesToDelete.size() + sets.foldersToAdd.size() +
                                sets.foldersToDelete.size();
    return widgets::askQuestion(parent,
                                QStringLiteral("%1 actions are planned.\nCarry them out?").arg(planned));
}

void showReport(QWidget* parent, const SyncResults& results, bool closeAtOnce) {
    if (closeAtOnce)
        return;
    widgets::showMessage(parent, widgets::fromText(results.lastHeadline));
}

} // namespace velmora::views
