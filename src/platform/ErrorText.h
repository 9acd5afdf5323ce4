#pragma once

#include <string>

namespace velmora::platform {

// The system's text for an errno value; "Reason not known" for 0 or an unknown number.
std::string errorText(int errorNumber);

} // namespace velmora::platform
