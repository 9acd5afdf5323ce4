#pragma once

#include "app/FileBrowser.h"
#include "app/RemotePlaces.h"
#include "engine/ErrorReporter.h"
#include "engine/FileCommand.h"
#include "engine/LastReason.h"
#include "engine/RunLog.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace velmora {
class SettingsStore;
}

namespace velmora::browse {

// How the folder tree reaches other machines; the window fills it in. Left empty, the Network
// node shows only the network shares mounted on this machine.
struct RemoteBrowsing {
    // Connects the server of a location, asking for a login as needed: "" or why not.
    std::function<std::string(const std::string& location)> connect;
    // The file shares of a connected SMB server, named by its server part: 0 or errno.
    std::function<int(const std::string& server, std::vector<RemoteShare>& out)> shares;
    // The SMB servers the local network announces: 0 or errno. Runs on a worker under the
    // command timeout.
    std::function<int(std::vector<std::string>& servers)> discover;
    // The locations whose servers the Network node offers (the recent ones).
    std::function<std::vector<std::string>()> recentLocations;
};

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

    RemoteBrowsing remote;
    // A server connected through "Connect to server...": offered under Network from now on.
    void addConnectedServer(const std::string& location);
    // The servers the Network node shows besides the mounted shares: connected ones, then those
    // of the recent locations.
    std::vector<RemoteServerPlace> remoteServers() const;

private:
    FrontEndPort& frontEnd_;
    platform::FileSystem& fileSystem_;
    SettingsStore* settings_;
    bool showHidden_ = false;
    std::vector<std::string> connected_;
    LastReason reason_;
    RunLog log_;
    ErrorReporter reporter_{frontEnd_, log_, reason_};
    std::atomic<bool> stop_{false};
    FileCommands commands_{fileSystem_, frontEnd_, stop_, reason_};
};

} // namespace velmora::browse
