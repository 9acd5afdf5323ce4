#include "app/BrowseRules.h"

#include "items/NumberText.h"
#include "items/PathOrder.h"

#include <algorithm>

namespace velmora {
namespace {

int compareDates(const FileItem& a, const FileItem& b) {
    if (a.date != b.date)
        return a.date < b.date ? -1 : 1;
    if (a.time != b.time)
        return a.time < b.time ? -1 : 1;
    return 0;
}

int compareByKey(const FileItem& a, const FileItem& b, SortKey key, const NameCompare& names) {
    int result = 0;
    switch (key) {
    case SortKey::Name:
        result = names(a, b);
        return result != 0 ? result : compareDates(a, b);
    case SortKey::Date:
        result = compareDates(a, b);
        return result != 0 ? result : names(a, b);
    case SortKey::Size:
        if (a.size != b.size)
            return a.size < b.size ? -1 : 1;
        result = names(a, b);
        return result != 0 ? result : compareDates(a, b);
    }
    return 0;
}

int compareNameBytes(const FileItem& a, const FileItem& b) {
    return compareNames(a.name, b.name);
}

// Kind 0 (the parent entry) first, then folders, then files.
int rankOf(const FileItem& item) {
    return item.kind == kFolder ? 1 : item.kind == kFile ? 2 : 0;
}

} // namespace

bool listingLess(const FileItem& a, const FileItem& b, ListingOrder order, const NameCompare& names) {
    if (rankOf(a) != rankOf(b))
        return rankOf(a) < rankOf(b);
    const int result = compareByKey(a, b, order.key, names);
    return order.descending ? result > 0 : result < 0;
}

bool listingLess(const FileItem& a, const FileItem& b, ListingOrder order) {
    return listingLess(a, b, order, compareNameBytes);
}

void sortListing(std::vector<FileItemPtr>& items, ListingOrder order, const NameCompare& names) {
    std::stable_sort(items.begin(), items.end(), [order, &names](const FileItemPtr& a, const FileItemPtr& b) {
        return listingLess(*a, *b, order, names);
    });
}

void sortListing(std::vector<FileItemPtr>& items, ListingOrder order) {
    sortListing(items, order, compareNameBytes);
}

bool isHiddenName(std::string_view name) {
    return name.size() > 1 && name.front() == '.' && name != "..";
}

ListingOrder clickColumn(ListingOrder current, int column) {
    static constexpr SortKey kKeys[] = {SortKey::Name, SortKey::Size, SortKey::Date};
    if (column < 0 || column > 2)
        return current;
    const SortKey key = kKeys[column];
    if (key == current.key)
        return {key, !current.descending};
    return {key, false};
}

std::string sizeColumnText(const FileItem& item) {
    return item.kind == kFile ? thousandsText(item.size) : std::string();
}

std::string modifiedColumnText(const FileItem& item, bool dayMonthYear) {
    if (item.date.empty())
        return {};
    return item.date.format(0xD, dayMonthYear ? 0 : 2, '/') + "  " + item.time.format(0x70);
}

int iconIndex(const FileItem& item, bool showActions) {
    if (item.kind != kFolder && item.kind != kFile)
        return -1;
    const int kind = static_cast<int>(item.kind);
    if (!showActions)
        return kind - 1;
    return kind + static_cast<int>(item.state) - 1 + (item.failed ? 6 : 0);
}

std::vector<std::string> pathSegments(std::string_view path) {
    std::vector<std::string> segments;
    if (!path.starts_with('/'))
        return segments;
    segments.emplace_back("/");
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t start = path.find_first_not_of('/', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(path.find('/', start), path.size());
        segments.emplace_back(path.substr(start, end - start));
        at = end;
    }
    return segments;
}

std::size_t walkPath(std::string_view path,
                     const std::function<bool(const std::string& segment, bool last)>& step) {
    const std::vector<std::string> segments = pathSegments(path);
    std::size_t found = 0;
    for (const std::string& segment : segments) {
        if (!step(segment, found + 1 == segments.size()))
            break;
        ++found;
    }
    return found;
}

std::string chosenFolderPath(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::optional<std::string> pathAfterRename(std::string_view path, std::string_view before,
                                           std::string_view after) {
    auto trimmed = [](std::string_view folder) {
        while (folder.size() > 1 && folder.back() == '/')
            folder.remove_suffix(1);
        return folder;
    };
    before = trimmed(before);
    after = trimmed(after);
    if (before.empty() || before == "/" || path.substr(0, before.size()) != before)
        return std::nullopt;
    const std::string_view rest = path.substr(before.size());
    if (!rest.empty() && rest.front() != '/')
        return std::nullopt; // "/a/bc" is not inside "/a/b"
    return std::string(after) + std::string(rest);
}

} // namespace velmora
