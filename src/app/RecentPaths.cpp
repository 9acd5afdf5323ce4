#include "app/RecentPaths.h"

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

} // namespace velmora
