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

// The "ShowTooltips" setting in force for the whole program: the main window sets it whenever the
// setting changes, and every dialog opened later gives its texts accordingly.
void setTooltipsShown(bool show);
bool tooltipsShown();
// applyTooltips with the setting in force.
void applyTooltips(QWidget* root, const TooltipTable& table);

} // namespace velmora::widgets
