#pragma once

#include "items/DateValue.h"
#include "items/TimeValue.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// How path texts are split. Posix: '/' is the only separator, '\\' and ':' belong to names.
// Windows: '\\', '/' and a trailing ':' are separators and "\\\\server" names a server.
enum class PathStyle { Posix, Windows };

enum ItemKind : std::int32_t { kFolder = 1, kFile = 2 };
enum ItemState : std::int32_t { kPlain = 0, kExcluded = 2, kOverwrite = 4, kAdd = 6, kDelete = 8 };

// One file or folder path, split into its folder part (with trailing separator) and name.
struct FileItem {
    std::string folder;
    std::string name;
    DateValue date; // last modification in local time: what is shown, logged and kept in files
    TimeValue time;
    // The same instant as seconds since the epoch, when a listing gave it. Times are compared as
    // instants: local values repeat an hour when daylight saving ends and cannot hold a date
    // before 1980.
    std::optional<std::int64_t> modifiedAt;
    ItemKind kind = kFolder;
    ItemState state = kPlain;
    std::uint64_t size = 0;
    bool forwardSlash = false; // the separator this item appends is '/' rather than '\\'
    bool failed = false;

    // Splits a path text into folder and name and sets kind and forwardSlash from it.
    // An empty text empties folder and name and leaves kind alone.
    void setPath(std::string_view text, PathStyle style = PathStyle::Posix);

    std::string fullPath() const { return folder + name; }
    // The full path plus one separator for a folder (unless the full path is "" or "/").
    std::string displayPath() const;
    // The full path plus its separator: the form to which child names are appended.
    std::string folderForm() const;
    char separator() const { return forwardSlash ? '/' : '\\'; }
};

using FileItemPtr = std::shared_ptr<FileItem>;

// A new item from a path text; kind starts as folder, as an exclusion's item does.
FileItemPtr makeItem(std::string_view text, PathStyle style = PathStyle::Posix);

} // namespace velmora
