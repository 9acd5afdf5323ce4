#include "items/ExclusionSet.h"

#include "items/PathCompare.h"
#include "items/PathOrder.h"
#include "items/PathParts.h"

#include <algorithm>

namespace velmora {

namespace {

bool lessThanParts(const FileItemPtr& entry, const PathParts& parts) {
    return compareJoinedPaths(entry->folder, entry->name, parts.folder, parts.name) < 0;
}

bool equalParts(const FileItem& entry, std::string_view folder, std::string_view name) {
    return compareJoinedPaths(entry.folder, entry.name, folder, name) == 0;
}

// Inserts at the sorted place unless an entry with an equal full path is there already.
void insertSorted(std::vector<FileItemPtr>& list, const FileItemPtr& item) {
    const auto at = std::lower_bound(list.begin(), list.end(), item, PathLess());
    if (at != list.end() && comparePaths(**at, *item) == 0)
        return;
    list.insert(at, item);
}

void sortList(std::vector<FileItemPtr>& list) {
    std::stable_sort(list.begin(), list.end(), PathLess());
    list.shrink_to_fit();
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A profile line cannot carry a line break, and a trailing CR is taken for part of the line end.
bool fitsOnOneLine(std::string_view line) {
    return line.find('\n') == std::string_view::npos && (line.empty() || line.back() != '\r');
}

// One line of a section without its line end; false when the stream has no line left.
bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace

void ExclusionSet::addExplicit(std::string_view pathText) {
    addExplicit(makeItem(pathText, style_));
}

void ExclusionSet::addExplicit(const FileItemPtr& item) {
    if (!item || isExcluded(*item))
        return;
    insertSorted(explicit_, item);
}

void ExclusionSet::addWildcard(std::string_view patternText) {
    insertSorted(wildcards_, makeItem(patternText, style_));
}

void ExclusionSet::finish() {
    sortList(explicit_);
    sortList(wildcards_);
}

void ExclusionSet::removeExplicit(const FileItem& item) {
    std::erase_if(explicit_, [&item](const FileItemPtr& entry) { return comparePaths(*entry, item) == 0; });
}

bool ExclusionSet::isExcluded(const FileItem& candidate) const {
    PathParts parts;
    parts.folder = candidate.folder;
    parts.name = candidate.name;
    return excludes(parts);
}

bool ExclusionSet::isExcluded(std::string_view pathText) const {
    return excludes(splitPath(pathText, style_));
}

bool ExclusionSet::excludes(const PathParts& candidate) const {
    const auto at = std::lower_bound(explicit_.begin(), explicit_.end(), candidate, lessThanParts);
    if (at != explicit_.end() && equalParts(**at, candidate.folder, candidate.name))
        return true;
    for (const FileItemPtr& wildcard : wildcards_) {
        // An empty pattern would otherwise match the root "/", whose name is empty.
        if (wildcard->name.empty())
            continue;
        if (!wildcard->folder.empty() && !startsWith(candidate.folder, wildcard->folder))
            continue;
        if (matchesPattern(wildcard->name, candidate.name))
            return true;
    }
    return false;
}

bool ExclusionSet::write(std::ostream& out) const {
    bool complete = true;
    // An entry that reads as its list's end line would end the list early and lose what follows.
    const auto line = [&out, &complete](const std::string& text, bool endsList) {
        if (!fitsOnOneLine(text) || endsList) {
            complete = false;
            return;
        }
        out << text << "\r\n";
    };
    out << "exclusions=\r\n";
    for (const FileItemPtr& entry : explicit_) {
        const std::string text = entry->displayPath();
        line(text, text == "end_exclusions" || text == "end_ftp_exclusions");
    }
    out << "end_exclusions\r\n";
    out << "wildcard_exclusions=\r\n";
    for (const FileItemPtr& entry : wildcards_) {
        const std::string text = entry->fullPath();
        line(text, text == "end_wildcard_exclusions");
    }
    out << "end_wildcard_exclusions\r\n";
    return complete && out.good();
}

bool ExclusionSet::read(std::istream& in) {
    bool terminated = false;
    std::string line;
    skipToListStart(in);
    for (;;) {
        if (!readLine(in, line)) {
            // The failed read at the end of an unterminated list still yields one (empty) entry.
            explicit_.push_back(makeItem({}, style_));
            break;
        }
        if (line == "end_exclusions" || line == "end_ftp_exclusions") {
            terminated = true;
            break;
        }
        explicit_.push_back(makeItem(line, style_));
    }
    sortList(explicit_);

    // Wildcards came with version 1.06; older files have nothing after the explicit list.
    if (!terminated || lastReadVersion() <= 1.05)
        return terminated;
    const std::string key = readKey(in);
    if (key != "wildcard_exclusions")
        return !(in.eof() && !key.empty()); // a key the end of the file cut off is a cut list
    skipToListStart(in);
    terminated = false;
    while (readLine(in, line)) {
        if (line == "end_wildcard_exclusions") {
            terminated = true;
            break;
        }
        wildcards_.push_back(makeItem(line, style_));
    }
    sortList(wildcards_);
    return terminated;
}

} // namespace velmora
