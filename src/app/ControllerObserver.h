#pragma once

#include <cstdint>

namespace velmora {

// What of the main window's visible state changed.
enum class Change : std::uint8_t {
    Controls = 1 << 0,    // controlState(): enabling, visibility, button style, running frames
    Title = 1 << 1,       // title()
    Selector = 1 << 2,    // selectorText()
    RecentFiles = 1 << 3, // recentFiles()
    Locations = 1 << 4,   // locationText() and recentLocations() of either box
    Progress = 1 << 5,    // progress()
    Running = 1 << 6,     // runningState() and batchRunning()
};

class ChangeSet {
public:
    ChangeSet() = default;
    ChangeSet(Change change) : bits_(static_cast<std::uint8_t>(change)) {}

    ChangeSet& operator|=(ChangeSet other) {
        bits_ = static_cast<std::uint8_t>(bits_ | other.bits_);
        return *this;
    }
    bool has(Change change) const { return (bits_ & static_cast<std::uint8_t>(change)) != 0; }
    bool empty() const { return bits_ == 0; }
    bool operator==(const ChangeSet&) const = default;

private:
    std::uint8_t bits_ = 0;
};

// Told by the controller, on its own thread, after each change of what the main window shows;
// the view redraws what it shows of the parts named and ignores the rest.
class ControllerObserver {
public:
    virtual ~ControllerObserver() = default;
    virtual void controllerChanged(ChangeSet changes) = 0;
};

} // namespace velmora
