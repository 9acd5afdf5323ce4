#pragma once

#include "items/TidyPath.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// What an --exclude=PATH names: one explicit exclusion per location, or nothing with a reason.
struct ExcludedPlaces {
    std::vector<std::string> paths; // absolute; a folder typed with its trailing '/' keeps it
    std::string problem;            // why nothing is excluded
    bool usageError = false;        // the problem makes the command line wrong
};

// A path that, taken from `currentFolder` (or as it stands when absolute), lies inside one of the
// two location roots names that place in both; any other relative path is taken from both roots.
ExcludedPlaces placesToExclude(const std::string& typed, const std::string& currentFolder,
                               const std::string& location1, const std::string& location2);

} // namespace velmora::cli
