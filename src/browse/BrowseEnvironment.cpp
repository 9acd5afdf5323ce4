#include "browse/BrowseEnvironment.h"

#include "browse/FileListView.h"

namespace velmora::browse {

BrowseEnvironment::BrowseEnvironment(FrontEndPort& frontEnd, platform::FileSystem& fileSystem,
                                     SettingsStore* settings)
    : frontEnd_(frontEnd), fileSystem_(fileSystem), settings_(settings) {
    if (settings_)
        FileListView::setProgramSettings(settings_);
}

BrowseEnvironment::~BrowseEnvironment() {
    if (settings_ && FileListView::programSettings() == settings_)
        FileListView::setProgramSettings(nullptr);
}

} // namespace velmora::browse
