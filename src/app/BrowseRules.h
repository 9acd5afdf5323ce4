#pragma once

#include "items/FileItem.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// --- Listing order of the file lists -----------------------------------------------------------
enum class SortKey { Name = 0, Date = 1, Size = 2 };

struct ListingOrder {
    SortKey key = SortKey::Name;
    bool descending = false;
};

// The parent entry (kind 0) first, folders before files, then by the key: name (equal names
// older first), date (equal dates by name) or size (then name, then date). Descending reverses
// the key only: folders stay above files in every order.
bool listingLess(const FileItem& a, const FileItem& b, ListingOrder order);
void sortListing(std::vector<FileItemPtr>& items, ListingOrder order);
// The same with the names compared by `names` (<0, 0, >0): the lists and the folder tree pass the
// user's collation, so both show names in the one order a person expects.
using NameCompare = std::function<int(const FileItem& a, const FileItem& b)>;
bool listingLess(const FileItem& a, const FileItem& b, ListingOrder order, const NameCompare& names);
void sortListing(std::vector<FileItemPtr>& items, ListingOrder order, const NameCompare& names);

// A header click on column 0 "Name", 1 "Bytes" or 2 "Modified": the current key toggles its
// direction, another key becomes current and ascending.
ListingOrder clickColumn(ListingOrder current, int column);

// A dot-name ("." and ".." aside): hidden from the tree and the lists unless the user asks to
// see hidden entries.
bool isHiddenName(std::string_view name);

// --- Texts and icons of a row -----------------------------------------------------------------
// The "Bytes" text: thousands separators for a file, empty for a folder.
std::string sizeColumnText(const FileItem& item);
// The "Modified" text: date, two spaces, time; empty when the item has no date.
std::string modifiedColumnText(const FileItem& item, bool dayMonthYear);

// Index into the icon table: without actions folder 0, file 1; with actions kind + state - 1,
// plus 6 when failed. -1 for the parent entry (kind 0), which is never shown.
int iconIndex(const FileItem& item, bool showActions);

// --- Selecting a path in the folder tree -------------------------------------------------------
// "/home/ann/Docs/" gives "/", "home", "ann", "Docs": the walk always starts at the root. Empty or
// relative paths give nothing; repeated separators count once.
std::vector<std::string> pathSegments(std::string_view path);

// Walks the segments: `step` is asked to find and open each in turn (last = the final one) and
// answers whether it found it. Answers how many segments were found; the walk stops at the first
// that is missing, leaving the selection on the deepest one found.
std::size_t walkPath(std::string_view path,
                     const std::function<bool(const std::string& segment, bool last)>& step);

// Where `path` is after the folder `before` was renamed to `after`: the same place below the new
// name, or nothing when `path` is neither that folder nor inside it. Trailing '/' are ignored on
// the folders and kept on `path`.
std::optional<std::string> pathAfterRename(std::string_view path, std::string_view before,
                                           std::string_view after);

// The path a folder dialog hands back: ends in '/', and "/" when nothing with a path is chosen.
std::string chosenFolderPath(std::string path);

} // namespace velmora
