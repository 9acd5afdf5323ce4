#pragma once

#include "items/FileItem.h"

#include <string>
#include <string_view>

namespace velmora {

enum class FileKind { Other, Profile, Batch };

// Decided by the extension alone: the text after the last "." of the file name, compared byte
// for byte with "vmp" and "vmb" (so "VMP" is neither).
FileKind fileKindOf(std::string_view path, PathStyle style = PathStyle::Posix);

// The file name without its extension: the text after the last separator, cut before its last ".".
std::string fileTitleOf(std::string_view path, PathStyle style = PathStyle::Posix);

} // namespace velmora
