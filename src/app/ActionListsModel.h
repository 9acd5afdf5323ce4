#pragma once

#include "engine/FrontEndPort.h"

#include <array>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

struct SyncResults;

// The five lists of a synchronisation, in the order the dialog shows them.
enum class ActionCategory { OverwriteFiles, AddFiles, DeleteFiles, AddFolders, DeleteFolders };
inline constexpr std::size_t kActionCategories = 5;

// The check-list before execution and the detailed results after a run, without widgets. In
// check-list mode the user may remove entries and the controller or engine takes the pruned
// sets back on OK; in results mode it only shows what was done (failed entries are left out of
// the lists but kept for Browse All).
class ActionListsModel {
public:
    using Items = std::vector<FileItemPtr>;

    // Check-list mode over copies of the planned sets.
    explicit ActionListsModel(CheckListSets sets);
    // Results mode over what a run did and what failed.
    explicit ActionListsModel(const SyncResults& results);

    bool resultsMode() const { return resultsMode_; }
    std::string windowTitle() const;
    // Results mode shows neither Cancel nor "Remove Item".
    bool showsCancel() const { return !resultsMode_; }
    bool showsRemoveItem() const { return !resultsMode_; }

    // "%d Overwrite Files" and the like, by mode; a category button is enabled while its list
    // has entries.
    std::string buttonText(ActionCategory category) const;
    bool categoryEnabled(ActionCategory category) const;

    // Selecting a category (the dialog opens on the first) refills the lines and clears the
    // selection.
    void selectCategory(ActionCategory category);
    ActionCategory category() const { return category_; }
    std::string caption() const;
    // One full path per entry of the current category, in list order, failed entries left out.
    const std::vector<std::string>& lines() const { return lines_; }

    // Line numbers beyond the list are ignored.
    void select(std::set<std::size_t> lines);
    bool canRemoveItem() const { return !resultsMode_ && !selection_.empty(); }
    // Erases from the current category every entry whose full path equals a selected line's
    // (ASCII case ignored).
    void removeItem();

    // OK in check-list mode with something to delete asks this question first ("You are about to
    // delete 2 folders and 3 files.\nAre you sure you want to continue?"); nothing to ask answers
    // empty. No keeps the dialog open.
    std::optional<std::string> deleteQuestion() const;

    // Browse All: every entry (in results mode also every failed one) in path order, and the
    // folder the browser starts in (the first item's folder when none was kept yet).
    Items browseItems() const;
    std::string browseStartFolder() const;
    // The browser's OK: entries no longer in `kept` leave the lists, and its current folder is
    // where the next Browse All starts.
    void keepBrowsed(const Items& kept, const std::string& currentFolder);

    const Items& entries(ActionCategory category) const;
    // The sets as the user left them, for the controller or engine to apply.
    CheckListSets sets() const;

private:
    void refillLines();

    bool resultsMode_ = false;
    std::array<Items, kActionCategories> lists_;
    std::array<Items, kActionCategories> failures_;
    ActionCategory category_ = ActionCategory::OverwriteFiles;
    std::vector<std::string> lines_;
    std::set<std::size_t> selection_;
    std::string browseFolder_;
};

} // namespace velmora
