#include "app/OptionMapping.h"

#include "profiles/Profile.h"
#include "profiles/StoredSettings.h"

namespace velmora {

SyncOptions syncOptionsFor(const Profile& profile, const GeneralSettings& general) {
    SyncOptions o;
    o.addMissing = profile.addFiles;
    o.deleteMissing = profile.deleteFiles;
    o.confirmDeletes = profile.confirmDeletes;
    o.checkSubFolders = profile.checkSubFolders;
    o.checkActions = profile.checkActions;
    o.overwriteReadOnly = profile.overwriteReadOnly;
    o.silentMode = profile.silentMode;
    o.exitOnCompletion = profile.exitOnCompletion;
    o.copyAttributes = profile.copyAttribs;
    o.compareOnTime = profile.compareOnTime;
    o.adjustHours = profile.adjustTimeHours;
    o.adjustMinutes = profile.adjustTimeMins;
    o.requiredTimeDifference = general.timeDifference;
    o.commandTimeout = general.commandTimeout;
    o.parallelCommands = general.parallelCommands;
    o.logOn = profile.logFileOn;
    o.logAppend = profile.logFileAppend;
    o.logPath = profile.logFilePath;
    o.autoStart = profile.autoStart;
    return o;
}

} // namespace velmora
