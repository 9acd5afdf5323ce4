#include "engine/ListedItem.h"

#include <memory>

namespace velmora {

FileItemPtr listedItem(const std::string& folder, const platform::DirEntry& entry) {
    auto item = std::make_shared<FileItem>();
    item->folder = folder;
    item->name = entry.name;
    item->kind = entry.isDirectory ? kFolder : kFile;
    item->size = entry.size;
    item->forwardSlash = true;
    // A date outside what the packed value holds (before 1980, after 2080) stays empty.
    item->date.set(entry.modified.day, entry.modified.month, entry.modified.year);
    item->time.set(entry.modified.hour, entry.modified.minute, entry.modified.second);
    item->modifiedAt = entry.modifiedSeconds;
    return item;
}

} // namespace velmora
