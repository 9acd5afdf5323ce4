#pragma once

#include "engine/FrontEndPort.h"

#include <array>
#include <string>

class QWidget;

namespace velmora::widgets {

// Asks whether to delete one planned item: Yes, Yes To All, No, No To All or Cancel (also the
// answer of Escape and the close box). The front end's one way to ask it.
DeleteAnswer askDeleteQuestion(QWidget* parent, const std::string& caption,
                               const std::array<std::string, 4>& lines);

} // namespace velmora::widgets
