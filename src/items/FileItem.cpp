#include "items/FileItem.h"

#include "items/PathParts.h"

namespace velmora {

namespace {

bool isSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

} // namespace

PathParts splitPath(std::string_view text, PathStyle style) {
    PathParts parts;
    if (text.empty())
        return parts;
    parts.empty = false;

    const char last = text.back();
    if (style == PathStyle::Posix) {
        parts.kind = last == '/' ? kFolder : kFile;
        parts.forwardSlash = true;
    } else {
        parts.kind = (last == '\\' || last == '/' || last == ':') ? kFolder : kFile;
        parts.forwardSlash = last == '/';
    }

    std::string_view work = text;
    while (!work.empty() && isSeparator(work.back(), style))
        work.remove_suffix(1);
    if (work.empty()) {
        // Only separators: "/" itself, or "///" which names the same root on Linux.
        if (text == "/" || style == PathStyle::Posix) {
            parts.folder = text.substr(0, 1);
            parts.name = {};
        }
        return parts;
    }

    std::size_t cut = work.size();
    while (cut > 0 && !isSeparator(work[cut - 1], style))
        --cut;
    parts.folder = work.substr(0, cut);
    parts.name = work.substr(cut);

    // "\\server": the server name keeps its two leading backslashes and has no folder.
    if (style == PathStyle::Windows && parts.folder == "\\\\") {
        parts.folder = {};
        parts.name = work;
    }
    return parts;
}

void FileItem::setPath(std::string_view text, PathStyle style) {
    const PathParts parts = splitPath(text, style);
    folder.assign(parts.folder);
    name.assign(parts.name);
    if (!parts.empty) {
        kind = parts.kind;
        forwardSlash = parts.forwardSlash;
    }
}

std::string FileItem::displayPath() const {
    std::string path = fullPath();
    // An empty path stays empty: a lone separator would read back as the root.
    if (kind == kFolder && !path.empty() && path != "/")
        path += separator();
    return path;
}

std::string FileItem::folderForm() const {
    std::string path = fullPath();
    if (!path.empty() && path.back() != separator())
        path += separator();
    return path;
}

FileItemPtr makeItem(std::string_view text, PathStyle style) {
    auto item = std::make_shared<FileItem>();
    item->setPath(text, style);
    return item;
}

} // namespace velmora
