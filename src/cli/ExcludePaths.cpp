#include "cli/ExcludePaths.h"

namespace velmora::cli {

namespace {

bool namesAFolder(std::string_view typed) {
    return typed.ends_with('/') || typed == "." || typed == ".." || typed.ends_with("/.") ||
           typed.ends_with("/..");
}

// The part of `path` below `root` (both tidy); false when it is not below.
bool below(const std::string& path, const std::string& root, std::string& rest) {
    if (root == "/") {
        rest = path.substr(1);
        return path.size() > 1;
    }
    if (path.size() <= root.size() + 1 || path.compare(0, root.size(), root) != 0 || path[root.size()] != '/')
        return false;
    rest = path.substr(root.size() + 1);
    return true;
}

std::string joined(const std::string& root, const std::string& rest) {
    return root == "/" ? "/" + rest : root + "/" + rest;
}

} // namespace

ExcludedPlaces placesToExclude(const std::string& typed, const std::string& currentFolder,
                               const std::string& location1, const std::string& location2) {
    ExcludedPlaces result;
    const std::string roots[2] = {tidyPath(location1), tidyPath(location2)};
    const bool absolute = typed.starts_with('/');
    const std::string place = tidyPath(absolute ? typed : currentFolder + "/" + typed);

    std::string rest;
    bool found = false;
    for (const std::string& root : roots) {
        if (place == root) {
            result.problem = "--exclude=" + typed + " names the location " + root + " itself";
            result.usageError = true;
            return result;
        }
        if (below(place, root, rest)) {
            found = true;
            break;
        }
    }
    if (!found && !absolute) {
        rest = tidyPath(typed);
        found = !rest.empty() && rest != ".." && !rest.starts_with("../");
        if (rest.empty()) {
            result.problem = "--exclude=" + typed + " names the locations themselves";
            result.usageError = true;
            return result;
        }
    }
    if (!found) {
        result.problem = "--exclude=" + typed + " lies outside both locations: it excludes nothing";
        return result;
    }
    for (const std::string& root : roots)
        result.paths.push_back(joined(root, rest) + (namesAFolder(typed) ? "/" : ""));
    return result;
}

} // namespace velmora::cli
