#include "engine/TargetItem.h"

namespace velmora {

FileItemPtr makeTargetItem(const FileItem& source, const std::string& targetFolder, bool forwardSlash) {
    auto item = std::make_shared<FileItem>(source);
    item->folder = targetFolder;
    item->forwardSlash = forwardSlash;
    item->state = kAdd;
    return item;
}

} // namespace velmora
