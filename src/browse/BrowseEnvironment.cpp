#include "browse/BrowseEnvironment.h"

#include "browse/FileListView.h"
#include "profiles/SettingsStore.h"

namespace velmora::browse {

BrowseEnvironment::BrowseEnvironment(FrontEndPort& frontEnd, platform::FileSystem& fileSystem,
                                     SettingsStore* settings)
    : frontEnd_(frontEnd), fileSystem_(fileSystem), settings_(settings) {
    if (settings_) {
        FileListView::setProgramSettings(settings_);
        showHidden_ = settings_->readNumber("ShowHidden").value_or(0) != 0;
    }
}

void BrowseEnvironment::setShowHidden(bool show) {
    showHidden_ = show;
    if (settings_)
        settings_->writeNumber("ShowHidden", show ? 1 : 0);
}

void BrowseEnvironment::addConnectedServer(const std::string& location) {
    connected_.push_back(location);
}

std::vector<RemoteServerPlace> BrowseEnvironment::remoteServers() const {
    std::vector<std::string> locations = connected_;
    if (remote.recentLocations)
        for (std::string& location : remote.recentLocations())
            locations.push_back(std::move(location));
    return remoteServersOf(locations);
}

BrowseEnvironment::~BrowseEnvironment() {
    if (settings_ && FileListView::programSettings() == settings_)
        FileListView::setProgramSettings(nullptr);
}

} // namespace velmora::browse
