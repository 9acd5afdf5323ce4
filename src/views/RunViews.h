#pragma once

#include "engine/FrontEndPort.h"

class QWidget;

namespace velmora {
struct SyncResults;
}

namespace velmora::views {

// The check-list of planned actions before execution: true for OK (the sets possibly pruned),
// false for Cancel.
bool showCheckList(QWidget* parent, CheckListSets& sets);
// The synchronisation report of a run (also "Last Report"). With closeAtOnce (silent mode) it
// closes itself.
void showReport(QWidget* parent, const SyncResults& results, bool closeAtOnce);

} // namespace velmora::views
