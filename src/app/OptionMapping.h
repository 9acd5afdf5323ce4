#pragma once

#include "engine/SyncOptions.h"

namespace velmora {

class Profile;
struct GeneralSettings;

// What a run of this profile reads, with the program-wide settings in force.
SyncOptions syncOptionsFor(const Profile& profile, const GeneralSettings& general);

} // namespace velmora
