#include "platform/ErrorText.h"

#include <cstring>

namespace velmora::platform {

std::string errorText(int errorNumber) {
    if (errorNumber == kChangedWhileCopied)
        return "The file changed while it was copied";
    if (errorNumber == kNotRegularFile)
        return "Not a regular file";
    if (errorNumber == kChangedAfterAnalysis)
        return "The file changed after the analysis";
    if (errorNumber == kConnectionLost)
        return "The connection to the server was lost";
    if (errorNumber == kServerRefused)
        return "The server refused the request";
    // glibc answers "Unknown error N" for numbers it has no text for; we want our own words then.
    if (errorNumber <= 0 || strerrorname_np(errorNumber) == nullptr)
        return "Reason not known";
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not live in our buffer.
    const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
    return text != nullptr && *text != '\0' ? std::string(text) : std::string("Reason not known");
}

} // namespace velmora::platform
