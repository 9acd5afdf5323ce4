#include "platform/SharedFolders.h"

#include "platform/Mounts.h"

#include <dirent.h>

namespace velmora::platform {
namespace {

std::string_view trim(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

template <typename OnLine>
void forEachLine(std::string_view text, OnLine onLine) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        onLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// "key = value" with the key compared without case, as Samba does.
bool valueOf(std::string_view line, std::string_view key, std::string& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !equalsIgnoringCase(trim(line.substr(0, equals)), key))
        return false;
    value = std::string(trim(line.substr(equals + 1)));
    return true;
}

} // namespace

std::vector<std::string> parseUserShare(std::string_view text) {
    std::vector<std::string> paths;
    forEachLine(text, [&](std::string_view line) {
        std::string value;
        if (valueOf(line, "path", value) && value.starts_with('/'))
            paths.push_back(withoutTrailingSlash(value));
    });
    return paths;
}

std::vector<std::string> parseSambaConfig(std::string_view text) {
    std::vector<std::string> paths;
    bool inGlobal = false;
    forEachLine(text, [&](std::string_view raw) {
        const std::string_view line = trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            return;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            inGlobal = equalsIgnoringCase(
                trim(line.substr(1, close == std::string_view::npos ? line.size() : close - 1)), "global");
            return;
        }
        std::string value;
        if (!inGlobal && (valueOf(line, "path", value) || valueOf(line, "directory", value)) &&
            value.starts_with('/'))
            paths.push_back(withoutTrailingSlash(value));
    });
    return paths;
}

std::vector<std::string> parseExports(std::string_view text) {
    std::vector<std::string> paths;
    std::string joined;
    // A backslash at a line's end continues the entry on the next line.
    forEachLine(text, [&](std::string_view line) {
        if (!line.empty() && line.back() == '\\') {
            joined.append(line.substr(0, line.size() - 1));
            joined += ' ';
            return;
        }
        joined.append(line);
        const std::string_view entry = trim(joined);
        std::string path;
        if (!entry.empty() && entry[0] == '"') {
            const std::size_t close = entry.find('"', 1);
            path =
                std::string(entry.substr(1, close == std::string_view::npos ? entry.size() - 1 : close - 1));
        } else if (!entry.empty() && entry[0] == '/') {
            const std::string_view field =
                entry.substr(0, std::min(entry.find_first_of(" \t"), entry.size()));
            for (std::size_t i = 0; i < field.size(); ++i) {
                if (field[i] == '\\' && i + 3 < field.size() &&
                    field.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos) {
                    path += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                              (field[i + 3] - '0'));
                    i += 3;
                } else {
                    path += field[i];
                }
            }
        }
        if (path.starts_with('/'))
            paths.push_back(withoutTrailingSlash(path));
        joined.clear();
    });
    return paths;
}

std::vector<std::string> sharedFolders(const ShareSources& sources) {
    std::vector<std::string> folders;
    std::string text;
    if (DIR* dir = ::opendir(sources.userShareFolder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && readTextFile(sources.userShareFolder + "/" + name, text))
                for (std::string& path : parseUserShare(text))
                    folders.push_back(std::move(path));
        }
        ::closedir(dir);
    }
    if (readTextFile(sources.sambaConfig, text))
        for (std::string& path : parseSambaConfig(text))
            folders.push_back(std::move(path));
    if (readTextFile(sources.exports, text))
        for (std::string& path : parseExports(text))
            folders.push_back(std::move(path));
    return folders;
}

} // namespace velmora::platform
