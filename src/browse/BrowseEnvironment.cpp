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

BrowseEnvironment::~BrowseEnvironment() {
    if (settings_ && FileListView::programSettings() == settings_)
        FileListView::setProgramSettings(nullptr);
}

} // namespace velmora::browse
