#include "app/ExclusionFilesModel.h"

#include "items/PathOrder.h"
#include "platform/FileSystem.h"

namespace velmora {

namespace {

std::vector<std::string> displayPaths(const std::vector<FileItemPtr>& items) {
    std::vector<std::string> lines;
    lines.reserve(items.size());
    for (const FileItemPtr& item : items)
        lines.push_back(item->displayPath());
    return lines;
}

void keepExisting(std::set<std::size_t>& lines, std::size_t count) {
    std::erase_if(lines, [count](std::size_t line) { return line >= count; });
}

std::vector<std::string> unselected(const std::vector<std::string>& lines,
                                    const std::set<std::size_t>& selection) {
    std::vector<std::string> left;
    for (std::size_t line = 0; line < lines.size(); ++line)
        if (!selection.contains(line))
            left.push_back(lines[line]);
    return left;
}

} // namespace

ExclusionFilesModel::ExclusionFilesModel(const ExclusionSet& exclusions, platform::FileSystem& fileSystem,
                                         std::string& browseFolder)
    : working_(exclusions), browseFolder_(&browseFolder) {
    refill();
    for (const FileItemPtr& entry : working_.explicitEntries()) {
        std::string path = entry->fullPath();
        if (path.size() > 1 && path.back() == '/')
            path.pop_back();
        platform::FileAttributes attributes;
        if (fileSystem.getAttributes(path, attributes) != 0)
            lost_.push_back(entry->displayPath());
    }
}

void ExclusionFilesModel::refill() {
    explicitLines_ = displayPaths(working_.explicitEntries());
    wildcardLines_ = displayPaths(working_.wildcards());
    keepExisting(explicitSelection_, explicitLines_.size());
    keepExisting(wildcardSelection_, wildcardLines_.size());
}

void ExclusionFilesModel::selectExplicit(std::set<std::size_t> lines) {
    keepExisting(lines, explicitLines_.size());
    explicitSelection_ = std::move(lines);
}

void ExclusionFilesModel::selectWildcards(std::set<std::size_t> lines) {
    keepExisting(lines, wildcardLines_.size());
    wildcardSelection_ = std::move(lines);
}

void ExclusionFilesModel::remove() {
    ExclusionSet rebuilt(working_.pathStyle());
    // Wildcards first, so that adding the explicit lines back skips what they cover.
    for (const std::string& line : wildcardLines_)
        rebuilt.addWildcard(line);
    for (const std::string& line : unselected(explicitLines_, explicitSelection_))
        rebuilt.addExplicit(line);
    rebuilt.finish();
    working_ = std::move(rebuilt);
    explicitSelection_.clear();
    refill();
}

void ExclusionFilesModel::removeWildcard() {
    ExclusionSet rebuilt(working_.pathStyle());
    // The explicit entries are kept as they are: none of them is judged against the wildcards.
    for (const FileItemPtr& entry : working_.explicitEntries())
        rebuilt.addExplicit(entry);
    for (const std::string& line : unselected(wildcardLines_, wildcardSelection_))
        rebuilt.addWildcard(line);
    rebuilt.finish();
    working_ = std::move(rebuilt);
    wildcardSelection_.clear();
    refill();
}

void ExclusionFilesModel::selectLost() {
    for (const std::string& lost : lost_)
        for (std::size_t line = 0; line < explicitLines_.size(); ++line)
            if (comparePaths(explicitLines_[line], lost) == 0) {
                explicitSelection_.insert(line);
                break;
            }
}

std::string ExclusionFilesModel::browseStart() {
    if (browseFolder_->empty() && !working_.explicitEntries().empty())
        *browseFolder_ = working_.explicitEntries().front()->fullPath();
    return *browseFolder_;
}

void ExclusionFilesModel::browsed(const ExclusionSet& edited, const std::string& currentFolder) {
    working_ = edited;
    *browseFolder_ = currentFolder;
    refill();
}

std::optional<std::size_t> ExclusionFilesModel::addWildcard(const std::string& text,
                                                            const std::string& folder) {
    *browseFolder_ = folder;
    working_.addWildcard(text);
    working_.finish();
    refill();
    for (std::size_t line = 0; line < wildcardLines_.size(); ++line)
        if (comparePaths(wildcardLines_[line], text) == 0)
            return line;
    return std::nullopt;
}

} // namespace velmora
