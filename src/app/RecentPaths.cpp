#include "app/RecentPaths.h"

#include "profiles/FileKind.h"

#include <algorithm>

namespace velmora {

void putLocationFirst(RecentLocations& list, const std::string& path) {
    if (path.empty())
        return;
    auto found = std::find(list.begin(), list.end(), path);
    if (found == list.end())
        found = list.end() - 1;
    // Shifting the entries before it down by one drops the found (or last) entry.
    std::move_backward(list.begin(), found, found + 1);
    list.front() = path;
}

void putFileFirst(std::vector<std::string>& list, const std::string& path) {
    if (path.empty())
        return;
    const auto found = std::find(list.begin(), list.end(), path);
    if (found != list.end())
        list.erase(found);
    else if (list.size() >= kRecentFiles)
        list.resize(kRecentFiles - 1);
    list.insert(list.begin(), path);
}

void removeFile(std::vector<std::string>& list, const std::string& path) {
    std::erase(list, path);
}

std::vector<std::string> selectorEntries(const std::vector<std::string>& recentFiles,
                                         const std::string& shown) {
    std::vector<std::string> entries = recentFiles;
    if (!shown.empty() && std::find(entries.begin(), entries.end(), shown) == entries.end())
        entries.push_back(shown);
    return entries;
}

namespace {

// The folder part of a path, with its trailing '/'; empty when the path names no folder.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

std::string saveAsStart(bool batch, const std::string& currentPath,
                        const std::vector<std::string>& recentFiles, const std::string& lastOpened) {
    if (!currentPath.empty())
        return currentPath;
    if (batch) {
        const auto lastBatch =
            std::find_if(recentFiles.begin(), recentFiles.end(),
                         [](const std::string& path) { return fileKindOf(path) == FileKind::Batch; });
        if (lastBatch != recentFiles.end())
            return folderOf(*lastBatch);
    }
    return folderOf(lastOpened);
}

} // namespace velmora
