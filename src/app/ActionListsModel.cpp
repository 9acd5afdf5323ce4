#include "app/ActionListsModel.h"

#include "engine/SyncResults.h"
#include "items/PathOrder.h"

#include <algorithm>

namespace velmora {

namespace {

struct CategoryTexts {
    const char* checkListButton;
    const char* resultsButton;
    const char* checkListCaption;
    const char* resultsCaption;
};

constexpr std::array<CategoryTexts, kActionCategories> kTexts{{
    {"Overwrite Files", "Overwritten Files", "Now Showing: Files To Be Overwritten",
     "Now Showing: Overwritten Files"},
    {"Add Files", "Added Files", "Now Showing: Files To Be Added", "Now Showing: Added Files"},
    {"Delete Files", "Deleted Files", "Now Showing: Files To Be Deleted", "Now Showing: Deleted Files"},
    {"Add Folders", "Added Folders", "Now Showing: Folders To Be Added", "Now Showing: Added Folders"},
    {"Delete Folders", "Deleted Folders", "Now Showing: Folders To Be Deleted",
     "Now Showing: Deleted Folders"},
}};

std::size_t indexOf(ActionCategory category) {
    return static_cast<std::size_t>(category);
}

ActionListsModel::Items itemsOf(const ItemSet& set) {
    return {set.begin(), set.end()};
}

} // namespace

ActionListsModel::ActionListsModel(CheckListSets sets)
    : lists_{std::move(sets.filesToOverwrite), std::move(sets.filesToAdd), std::move(sets.filesToDelete),
             std::move(sets.foldersToAdd), std::move(sets.foldersToDelete)} {
    refillLines();
}

ActionListsModel::ActionListsModel(const SyncResults& results)
    : resultsMode_(true), lists_{itemsOf(results.overwritten), itemsOf(results.added),
                                 itemsOf(results.deleted), itemsOf(results.addedFolders),
                                 itemsOf(results.deletedFolders)},
      failures_{itemsOf(results.failedOverwritten), itemsOf(results.failedAdded),
                itemsOf(results.failedDeleted), itemsOf(results.failedAddedFolders),
                itemsOf(results.failedDeletedFolders)} {
    refillLines();
}

std::string ActionListsModel::windowTitle() const {
    return resultsMode_ ? "Detailed Synchronisation Results" : "Synchronisation analysis results";
}

std::string ActionListsModel::buttonText(ActionCategory category) const {
    const CategoryTexts& texts = kTexts[indexOf(category)];
    return std::to_string(lists_[indexOf(category)].size()) + " " +
           (resultsMode_ ? texts.resultsButton : texts.checkListButton);
}

bool ActionListsModel::categoryEnabled(ActionCategory category) const {
    return !lists_[indexOf(category)].empty();
}

void ActionListsModel::selectCategory(ActionCategory category) {
    category_ = category;
    refillLines();
}

std::string ActionListsModel::caption() const {
    const CategoryTexts& texts = kTexts[indexOf(category_)];
    return resultsMode_ ? texts.resultsCaption : texts.checkListCaption;
}

void ActionListsModel::refillLines() {
    lines_.clear();
    selection_.clear();
    for (const FileItemPtr& item : lists_[indexOf(category_)])
        if (!item->failed)
            lines_.push_back(item->fullPath());
}

void ActionListsModel::select(std::set<std::size_t> lines) {
    std::erase_if(lines, [this](std::size_t line) { return line >= lines_.size(); });
    selection_ = std::move(lines);
}

void ActionListsModel::removeItem() {
    if (!canRemoveItem())
        return;
    Items& list = lists_[indexOf(category_)];
    for (auto line = selection_.rbegin(); line != selection_.rend(); ++line) {
        const std::string& text = lines_[*line];
        std::erase_if(list,
                      [&text](const FileItemPtr& item) { return comparePaths(item->fullPath(), text) == 0; });
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    }
    selection_.clear();
}

std::optional<std::string> ActionListsModel::deleteQuestion() const {
    if (resultsMode_)
        return std::nullopt;
    const std::size_t files = lists_[indexOf(ActionCategory::DeleteFiles)].size();
    const std::size_t folders = lists_[indexOf(ActionCategory::DeleteFolders)].size();
    if (files == 0 && folders == 0)
        return std::nullopt;
    std::string text = "You are about to";
    if (folders > 0)
        text += " delete " + std::to_string(folders) + " folders";
    if (files > 0)
        text += (folders > 0 ? " and " : " delete ") + std::to_string(files) + " files";
    return text + ".\nAre you sure you want to continue?";
}

ActionListsModel::Items ActionListsModel::browseItems() const {
    Items all;
    for (const Items& list : lists_)
        all.insert(all.end(), list.begin(), list.end());
    if (resultsMode_)
        for (const Items& list : failures_)
            all.insert(all.end(), list.begin(), list.end());
    std::stable_sort(all.begin(), all.end(), PathLess{});
    return all;
}

std::string ActionListsModel::browseStartFolder() const {
    if (!browseFolder_.empty())
        return browseFolder_;
    const Items all = browseItems();
    return all.empty() ? std::string() : all.front()->folder;
}

void ActionListsModel::keepBrowsed(const Items& kept, const std::string& currentFolder) {
    browseFolder_ = currentFolder;
    const std::set<FileItemPtr> keep(kept.begin(), kept.end());
    for (Items& list : lists_)
        std::erase_if(list, [&keep](const FileItemPtr& item) { return !keep.contains(item); });
    refillLines();
}

const ActionListsModel::Items& ActionListsModel::entries(ActionCategory category) const {
    return lists_[indexOf(category)];
}

CheckListSets ActionListsModel::sets() const {
    return {lists_[0], lists_[1], lists_[2], lists_[3], lists_[4]};
}

} // namespace velmora
