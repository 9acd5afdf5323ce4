#pragma once

#include "items/ParallelCommands.h"
#include "items/ProfileOptions.h"
#include "profiles/SettingsStore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The general configuration, read at start-up and written when the Configuration dialog is
// confirmed.
struct GeneralSettings {
    bool showTooltips = true;
    bool ddmmyy = true;                 // date order dd/mm/yy, else mm/dd/yy
    std::uint32_t timeDifference = 120; // seconds
    std::uint32_t commandTimeout = 300; // seconds
    bool showNoTextButtons = false;
    std::uint32_t parallelCommands = kDefaultParallelCommands; // file commands in flight
};

// The recently used locations and files, and the file to reopen.
struct RecentLists {
    static constexpr std::size_t kLocations = 5;
    static constexpr std::size_t kFiles = 15;

    std::array<std::string, kLocations> location1; // [0] the most recent; empty entries kept
    std::array<std::string, kLocations> location2;
    std::vector<std::string> files; // at most kFiles, no empty entries, [0] the most recent
    std::string profilePath;        // the file shown in the profile selector at exit
};

// Start-up, in order: the general configuration, then the recent lists and "ProfilePath".
GeneralSettings readGeneralSettings(const SettingsStore& store);
RecentLists readRecentLists(const SettingsStore& store);
// The option values that apply when no profile is open (the More Options ones, and six of the
// main window's boxes). Read only when no file was opened at start-up or the file opened is a
// batch.
ProfileOptions readOptionSettings(const SettingsStore& store);

// Configuration OK: "ShowTooltips", "ddmmyy", "CommandTimeout", "TimeDifference",
// "ShowNoTextButtons", "ParallelCommands", as numbers. Answers 0 or the errno of the failed save.
int writeGeneralSettings(SettingsStore& store, const GeneralSettings& settings);

// The exit action: the options, the recent locations, the recent files (indexes beyond the
// list are left as they are) and "ProfilePath", in one save of the file.
int writeExitSettings(SettingsStore& store, const ProfileOptions& options, const RecentLists& recent);

// The last file opened or saved, and the view style of the file lists (0 icons, 1 details,
// 2 small icons, 3 list).
std::string readOpenPath(const SettingsStore& store);
int writeOpenPath(SettingsStore& store, const std::string& path);
std::uint32_t readBrowseStyle(const SettingsStore& store);
int writeBrowseStyle(SettingsStore& store, std::uint32_t style);

// "ProfilePath" followed by the index in two digits: "ProfilePath03".
std::string recentFileName(std::size_t index);

} // namespace velmora
