#include "app/OptionMapping.h"

#include "profiles/Profile.h"
#include "profiles/StoredSettings.h"

namespace velmora {

SyncOptions syncOptionsFor(const Profile& profile, const GeneralSettings& general) {
    SyncOptions o;
    static_cast<ProfileOptions&>(o) = profile;
    o.requiredTimeDifference = general.timeDifference;
    o.commandTimeout = general.commandTimeout;
    o.parallelCommands = general.parallelCommands;
    return o;
}

} // namespace velmora
