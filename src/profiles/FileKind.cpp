#include "profiles/FileKind.h"

namespace velmora {

namespace {

std::string_view fileNameOf(std::string_view path, PathStyle style) {
    const auto separator = style == PathStyle::Windows ? path.find_last_of("\\/") : path.rfind('/');
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

} // namespace

FileKind fileKindOf(std::string_view path, PathStyle style) {
    const std::string_view name = fileNameOf(path, style);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return FileKind::Other;
    const std::string_view extension = name.substr(dot + 1);
    if (extension == "vmp")
        return FileKind::Profile;
    if (extension == "vmb")
        return FileKind::Batch;
    return FileKind::Other;
}

std::string fileTitleOf(std::string_view path, PathStyle style) {
    const std::string_view name = fileNameOf(path, style);
    return std::string(name.substr(0, name.rfind('.')));
}

} // namespace velmora
