#include "browse/BrowseEnvironment.h"

namespace velmora::browse {

BrowseEnvironment::BrowseEnvironment(FrontEndPort& frontEnd, platform::FileSystem& fileSystem,
                                     SettingsStore* settings)
    : frontEnd_(frontEnd), fileSystem_(fileSystem), settings_(settings) {}

} // namespace velmora::browse
