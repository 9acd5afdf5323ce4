#include "profiles/StoredSettings.h"

#include <algorithm>

namespace velmora {

namespace {

std::uint32_t number(const SettingsStore& store, const char* name, std::uint32_t fallback) {
    return store.readNumber(name).value_or(fallback);
}

bool flag(const SettingsStore& store, const char* name, bool fallback) {
    return number(store, name, fallback ? 1 : 0) != 0;
}

std::string text(const SettingsStore& store, const std::string& name) {
    return store.readString(name).value_or(std::string());
}

SettingsStore::NamedValue flagValue(const char* name, bool value) {
    return {name, static_cast<std::uint32_t>(value ? 1 : 0)};
}

SettingsStore::NamedValue signedValue(const char* name, std::int32_t value) {
    return {name, static_cast<std::uint32_t>(value)};
}

} // namespace

std::string recentFileName(std::size_t index) {
    const char digits[] = {static_cast<char>('0' + index / 10 % 10), static_cast<char>('0' + index % 10),
                           '\0'};
    return std::string("ProfilePath") + digits;
}

GeneralSettings readGeneralSettings(const SettingsStore& store) {
    GeneralSettings settings;
    settings.showTooltips = flag(store, "ShowTooltips", true);
    settings.ddmmyy = flag(store, "ddmmyy", true);
    settings.timeDifference = number(store, "TimeDifference", 120);
    settings.commandTimeout = number(store, "CommandTimeout", 300);
    settings.showNoTextButtons = flag(store, "ShowNoTextButtons", false);
    // A value out of range (edited by hand) is brought to the nearest one allowed.
    settings.parallelCommands = std::clamp(number(store, "ParallelCommands", kDefaultParallelCommands),
                                           kMinParallelCommands, kMaxParallelCommands);
    return settings;
}

RecentLists readRecentLists(const SettingsStore& store) {
    RecentLists recent;
    for (std::size_t i = 0; i < RecentLists::kLocations; ++i) {
        const char letter = static_cast<char>('A' + i);
        recent.location1[i] = text(store, std::string("Location1") + letter);
        recent.location2[i] = text(store, std::string("Location2") + letter);
    }
    for (std::size_t i = 0; i < RecentLists::kFiles; ++i) {
        std::string path = text(store, recentFileName(i));
        if (!path.empty())
            recent.files.push_back(std::move(path));
    }
    recent.profilePath = text(store, "ProfilePath");
    return recent;
}

ProfileOptions readOptionSettings(const SettingsStore& store) {
    ProfileOptions options;
    options.addMissing = flag(store, "AddMissing", true);
    options.deleteMissing = flag(store, "DelMissing", true);
    options.confirmDeletes = flag(store, "CheckDel", false);
    options.checkSubFolders = flag(store, "SubFolders", true);
    options.checkActions = flag(store, "CheckActions", true);
    options.overwriteReadOnly = flag(store, "OverwriteReadOnly", false);
    options.copyAttributes = flag(store, "CopyAttribs", false);
    options.compareOnTime = !flag(store, "CompareTimeOrSize", true);
    options.adjustHours = store.readSigned("AdjustHours").value_or(0);
    options.adjustMinutes = store.readSigned("AdjustMins").value_or(0);
    options.logOn = flag(store, "LogOn", false);
    options.logAppend = flag(store, "LogAppend", false);
    options.logPath = text(store, "LogPath");
    return options;
}

int writeGeneralSettings(SettingsStore& store, const GeneralSettings& settings) {
    return store.writeValues({
        flagValue("ShowTooltips", settings.showTooltips),
        flagValue("ddmmyy", settings.ddmmyy),
        {"CommandTimeout", settings.commandTimeout},
        {"TimeDifference", settings.timeDifference},
        flagValue("ShowNoTextButtons", settings.showNoTextButtons),
        {"ParallelCommands", settings.parallelCommands},
    });
}

int writeExitSettings(SettingsStore& store, const ProfileOptions& options, const RecentLists& recent) {
    std::vector<SettingsStore::NamedValue> values = {
        flagValue("AddMissing", options.addMissing),
        flagValue("DelMissing", options.deleteMissing),
        flagValue("CheckDel", options.confirmDeletes),
        flagValue("SubFolders", options.checkSubFolders),
        flagValue("CheckActions", options.checkActions),
        flagValue("OverwriteReadOnly", options.overwriteReadOnly),
        flagValue("CopyAttribs", options.copyAttributes),
        flagValue("CompareTimeOrSize", !options.compareOnTime),
        signedValue("AdjustHours", options.adjustHours),
        signedValue("AdjustMins", options.adjustMinutes),
        flagValue("LogOn", options.logOn),
        flagValue("LogAppend", options.logAppend),
        {"LogPath", options.logPath},
    };
    for (std::size_t i = 0; i < RecentLists::kLocations; ++i) {
        const char letter = static_cast<char>('A' + i);
        values.push_back({std::string("Location1") + letter, recent.location1[i]});
        values.push_back({std::string("Location2") + letter, recent.location2[i]});
    }
    for (std::size_t i = 0; i < recent.files.size() && i < RecentLists::kFiles; ++i)
        values.push_back({recentFileName(i), recent.files[i]});
    values.push_back({"ProfilePath", recent.profilePath});
    return store.writeValues(values);
}

std::string readOpenPath(const SettingsStore& store) {
    return text(store, "OpenPath");
}

int writeOpenPath(SettingsStore& store, const std::string& path) {
    return store.writeString("OpenPath", path);
}

std::uint32_t readBrowseStyle(const SettingsStore& store) {
    return number(store, "BrowseStyle", 3);
}

int writeBrowseStyle(SettingsStore& store, std::uint32_t style) {
    return store.writeNumber("BrowseStyle", style);
}

} // namespace velmora
