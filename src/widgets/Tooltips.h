#pragma once

#include <utility>
#include <vector>

class QWidget;

namespace velmora::widgets {

// A window's tooltips: object name of the control, text.
using TooltipTable = std::vector<std::pair<const char*, const char*>>;

// Gives each named control below root its text while the "ShowTooltips" setting is on, and no
// text at all while it is off.
void applyTooltips(QWidget* root, const TooltipTable& table, bool show);

} // namespace velmora::widgets
