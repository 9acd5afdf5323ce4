#include "app/ReportModel.h"

#include "engine/SyncResults.h"

namespace velmora {

std::array<ReportCount, 5> reportCounts(const SyncCounts& counts) {
    return {{
        {"Overwritten files", "Number of files overwritten", counts.overwrittenFiles},
        {"Added files", "Number of files added", counts.addedFiles},
        {"Deleted files", "Number of files deleted", counts.deletedFiles},
        {"Added Folders", "Number of folders added", counts.addedFolders},
        {"Deleted Folders", "Number of folders deleted", counts.deletedFolders},
    }};
}

ReportModel::ReportModel(const SyncResults& results, bool closesAtOnce)
    : source_(results.lastSource), target_(results.lastTarget), headline_(results.lastHeadline),
      counts_(reportCounts(results.counts)), problems_(results.problems), details_(results),
      closesAtOnce_(closesAtOnce) {}

} // namespace velmora
