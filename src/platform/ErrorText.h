#pragma once

#include <string>

namespace velmora::platform {

// Failures of our own that no errno value names, numbered far above the system's.
constexpr int kChangedWhileCopied = 100001;   // "The file changed while it was copied"
constexpr int kNotRegularFile = 100002;       // "Not a regular file"
constexpr int kChangedAfterAnalysis = 100003; // "The file changed after the analysis"
constexpr int kConnectionLost = 100004;       // "The connection to the server was lost"
constexpr int kServerRefused = 100005;        // "The server refused the request"

// The system's text for an errno value; "Reason not known" for 0 or an unknown number.
std::string errorText(int errorNumber);

} // namespace velmora::platform
