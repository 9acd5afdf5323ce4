#pragma once

#include <mutex>
#include <string>

namespace velmora {

// The text of the last failure ("Permission denied", "Timed out", "Reason not known"...).
// Written by file-command workers and by the waiting thread, so it is guarded.
class LastReason {
public:
    void set(std::string text);
    // The system's text for an errno value ("Reason not known" for 0).
    void setFromError(int errorNumber);
    std::string get() const;

private:
    mutable std::mutex mutex_;
    std::string text_;
};

} // namespace velmora
