#pragma once

#include "app/FileBrowser.h"
#include "engine/ErrorReporter.h"
#include "engine/FileCommand.h"
#include "engine/LastReason.h"
#include "engine/RunLog.h"

#include <atomic>

namespace velmora {
class SettingsStore;
}

namespace velmora::browse {

// What the browsing controls share: the road for their messages, the file commands of their
// deletes and renames, where the view style is kept, and the date order of the "Modified" column.
// Browsing happens while no run is going, so it has a reporter and commands of its own: it shows
// every message (dialogs opened from the main window are never silent) and logs nothing. Its
// settings store becomes the program's for lists opened without one.
class BrowseEnvironment {
public:
    BrowseEnvironment(FrontEndPort& frontEnd, platform::FileSystem& fileSystem, SettingsStore* settings);
    ~BrowseEnvironment();
    BrowseEnvironment(const BrowseEnvironment&) = delete;
    BrowseEnvironment& operator=(const BrowseEnvironment&) = delete;

    BrowseServices services() { return {fileSystem_, frontEnd_, reporter_, commands_, stop_}; }
    ErrorReporter& reporter() { return reporter_; }
    FrontEndPort& frontEnd() { return frontEnd_; }
    platform::FileSystem& fileSystem() { return fileSystem_; }
    FileCommands& commands() { return commands_; }
    SettingsStore* settings() { return settings_; }

    void setCommandTimeout(std::uint32_t seconds) { commands_.setTimeout(seconds); }
    // Whether dot-folders and dot-files are shown; remembered in the setting "ShowHidden".
    bool showHidden() const { return showHidden_; }
    void setShowHidden(bool show);
    bool dayMonthYear = true;

private:
    FrontEndPort& frontEnd_;
    platform::FileSystem& fileSystem_;
    SettingsStore* settings_;
    bool showHidden_ = false;
    LastReason reason_;
    RunLog log_;
    ErrorReporter reporter_{frontEnd_, log_, reason_};
    std::atomic<bool> stop_{false};
    FileCommands commands_{fileSystem_, frontEnd_, stop_, reason_};
};

} // namespace velmora::browse
