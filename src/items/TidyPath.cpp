#include "items/TidyPath.h"

#include <vector>

namespace velmora {

std::string tidyPath(std::string_view path) {
    const bool absolute = path.starts_with('/');
    std::vector<std::string_view> levels;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view level = path.substr(start, end - start);
        if (level == "..") {
            if (!levels.empty() && levels.back() != "..")
                levels.pop_back();
            else if (!absolute)
                levels.push_back(level); // above the root there is nothing to go to
        } else if (!level.empty() && level != ".") {
            levels.push_back(level);
        }
        start = end + 1;
    }
    std::string tidy = absolute ? "/" : "";
    for (const std::string_view level : levels) {
        if (!tidy.empty() && tidy.back() != '/')
            tidy += '/';
        tidy += level;
    }
    return tidy;
}

namespace {

bool isRemote(std::string_view location) {
    const std::size_t scheme = location.find("://");
    if (scheme == std::string_view::npos || scheme == 0)
        return false;
    for (const char c : location.substr(0, scheme))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

} // namespace

std::string tidyLocation(std::string_view location) {
    if (location.empty())
        return {};
    // A share typed the way Windows names it: \\server\share\folder is smb://server/share/folder/.
    if (location.size() > 2 && location[0] == '\\' && location[1] == '\\') {
        std::string url = "smb://";
        for (const char c : location.substr(2))
            url += c == '\\' ? '/' : c;
        if (url.back() != '/')
            url += '/';
        return url;
    }
    std::string tidy = isRemote(location) ? std::string(location) : tidyPath(location);
    if (tidy.empty())
        tidy = "."; // "./" and the like: the current folder, as typed
    if (tidy.back() != '/')
        tidy += '/';
    return tidy;
}

} // namespace velmora
