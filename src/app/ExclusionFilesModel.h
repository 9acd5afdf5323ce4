#pragma once

#include "items/ExclusionSet.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

namespace platform {
class FileSystem;
}

// The Exclusion Files dialog without widgets: a working copy of the profile's exclusions, the
// explicit entries that no longer exist, the two selections and the button rules. Nothing
// reaches the profile before the controller takes the model back on OK.
class ExclusionFilesModel {
public:
    // `browseFolder` is where the next Browse or Wildcard starts; it outlives the dialog (the
    // controller keeps it for the whole process). The existence test of the explicit entries
    // runs here, once.
    ExclusionFilesModel(const ExclusionSet& exclusions, platform::FileSystem& fileSystem,
                        std::string& browseFolder);

    const ExclusionSet& working() const { return working_; }
    // Display paths, in the set's order.
    const std::vector<std::string>& explicitLines() const { return explicitLines_; }
    const std::vector<std::string>& wildcardLines() const { return wildcardLines_; }

    // The explicit entries missing when the dialog opened; "Lost Files" shows only when there are.
    const std::vector<std::string>& lostFiles() const { return lost_; }
    bool showsLostFiles() const { return !lost_.empty(); }

    // Line numbers beyond a list are ignored.
    void selectExplicit(std::set<std::size_t> lines);
    void selectWildcards(std::set<std::size_t> lines);
    const std::set<std::size_t>& explicitSelection() const { return explicitSelection_; }
    const std::set<std::size_t>& wildcardSelection() const { return wildcardSelection_; }
    bool canRemove() const { return !explicitSelection_.empty(); }
    bool canRemoveWildcard() const { return !wildcardSelection_.empty(); }

    // "Remove": the explicit list is rebuilt from the lines left, each added as the set adds an
    // explicit entry, so an entry a wildcard covers is dropped too. "Rem Wildcard" likewise.
    void remove();
    void removeWildcard();
    // "Lost Files": adds every lost entry's line (ASCII case ignored) to the explicit selection.
    void selectLost();

    // Where Browse or Wildcard starts: the kept folder, or else the first explicit entry.
    std::string browseStart();
    // The browse dialog's OK: its lists replace the working copy's and its folder is kept.
    void browsed(const ExclusionSet& edited, const std::string& currentFolder);
    // The wildcard dialog's OK with the text entered and the folder it ended in. Answers the
    // wildcard line to put the caret on, if one reads as the text entered.
    std::optional<std::size_t> addWildcard(const std::string& text, const std::string& folder);

private:
    void refill();

    ExclusionSet working_;
    std::string* browseFolder_;
    std::vector<std::string> explicitLines_, wildcardLines_, lost_;
    std::set<std::size_t> explicitSelection_, wildcardSelection_;
};

} // namespace velmora
