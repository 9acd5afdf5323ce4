#include "profiles/SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/Environment.h"
#include "platform/ErrorText.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace velmora {

namespace {

constexpr std::string_view kHeader = "# Velmora settings: n NAME=NUMBER or s NAME=TEXT, one a line\n";

bool needsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '\\';
}

// '=' is escaped in names only, where it would end the name.
std::string escape(std::string_view text, bool isName) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (needsEscape(c) || (isName && c == '=')) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != '\\') {
            if (c < 0x20 || c == 0x7F)
                return std::nullopt; // a raw control byte: the line was damaged
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

// One line of the file. `name` is set whenever the type and name could be read, so that a new
// value replaces a damaged one of the same name; `value` only when the whole line is sound.
struct Line {
    std::string text; // as found, without its LF
    std::optional<std::string> name;
    std::optional<SettingsStore::Value> value;
};

Line parseLine(std::string_view text) {
    Line line{std::string(text), std::nullopt, std::nullopt};
    if (text.size() < 3 || (text[0] != 'n' && text[0] != 's') || text[1] != ' ')
        return line;
    const auto equals = text.find('=', 2);
    if (equals == std::string_view::npos)
        return line;
    line.name = unescape(text.substr(2, equals - 2));
    if (!line.name)
        return line;
    const std::string_view rest = text.substr(equals + 1);
    if (text[0] == 'n') {
        std::uint32_t number = 0;
        const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (!rest.empty() && result.ec == std::errc() && result.ptr == rest.data() + rest.size())
            line.value = number;
    } else if (auto decoded = unescape(rest)) {
        line.value = std::move(*decoded);
    }
    return line;
}

std::vector<Line> parseFile(const std::string& contents) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        auto end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        const std::string_view raw(contents.data() + start, end - start);
        std::string_view text = raw;
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        Line line = parseLine(text);
        // Kept with its CR: "X\r\r\n" written back as "X\r\n" would turn a damaged line into a
        // sound one, and a save would change a value nobody wrote.
        line.text.assign(raw);
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string formatLine(const std::string& name, const SettingsStore::Value& value) {
    if (const auto* number = std::get_if<std::uint32_t>(&value))
        return "n " + escape(name, true) + "=" + std::to_string(*number);
    return "s " + escape(name, true) + "=" + escape(std::get<std::string>(value), false);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

} // namespace

std::string SettingsFileCheck::reason() const {
    switch (kind) {
    case Kind::Sound:
        return {};
    case Kind::Missing:
        return "No such file or directory";
    case Kind::Unreadable:
        return platform::errorText(error);
    case Kind::Damaged:
        return "line " + std::to_string(badLine) + " cannot be read";
    case Kind::NotSettings:
        return "it is not a Velmora settings file";
    }
    return {};
}

SettingsStore::SettingsStore(std::string filePath) : filePath_(std::move(filePath)) {}

namespace {

bool isCommentOrBlank(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    return text.empty() || text.front() == '#';
}

SettingsFileCheck checkLines(const std::vector<Line>& lines) {
    SettingsFileCheck found;
    bool anyValue = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].value) {
            anyValue = true;
        } else if (!isCommentOrBlank(lines[i].text) && found.badLine == 0) {
            found.badLine = i + 1;
        }
    }
    if (found.badLine != 0)
        found.kind = anyValue ? SettingsFileCheck::Kind::Damaged : SettingsFileCheck::Kind::NotSettings;
    return found;
}

} // namespace

SettingsFileCheck SettingsStore::check() const {
    std::string contents;
    if (const int error = platform::readWholeFile(filePath_, contents); error != 0) {
        SettingsFileCheck found;
        found.kind = error == ENOENT ? SettingsFileCheck::Kind::Missing : SettingsFileCheck::Kind::Unreadable;
        found.error = error;
        return found;
    }
    return checkLines(parseFile(contents));
}

SettingsFileCheck SettingsStore::setAsideIfDamaged() {
    std::string contents;
    if (readOnly_ || platform::readWholeFile(filePath_, contents) != 0)
        return check();
    const std::vector<Line> lines = parseFile(contents);
    const SettingsFileCheck found = checkLines(lines);
    if (found.kind != SettingsFileCheck::Kind::Damaged && found.kind != SettingsFileCheck::Kind::NotSettings)
        return found;
    // Nothing is lost: the old file as it was, then a file of what could be read.
    if (platform::writeFileAtomically(filePath_ + ".damaged", contents) != 0)
        return found;
    std::string sound(kHeader);
    for (const Line& line : lines)
        if (line.value)
            sound += line.text + "\n";
    platform::writeFileAtomically(filePath_, sound);
    return found;
}

std::string SettingsStore::defaultFilePath() {
    if (std::string own = platform::environmentValue("VELMORA_SETTINGS"); !own.empty())
        return own;
    std::string base = platform::environmentValue("XDG_CONFIG_HOME");
    if (base.empty())
        base = platform::environmentValue("HOME") + "/.config";
    return base + "/Larkspire/Velmora.conf";
}

std::optional<SettingsStore::Value> SettingsStore::readValue(std::string_view name) const {
    std::string contents;
    if (platform::readWholeFile(filePath_, contents) != 0)
        return std::nullopt;
    // The first line of a name counts, as that is the one a write replaces.
    for (Line& line : parseFile(contents)) {
        if (line.name && *line.name == name)
            return std::move(line.value);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> SettingsStore::readNumber(std::string_view name) const {
    const auto value = readValue(name);
    if (!value || !std::holds_alternative<std::uint32_t>(*value))
        return std::nullopt;
    return std::get<std::uint32_t>(*value);
}

std::optional<std::string> SettingsStore::readString(std::string_view name) const {
    auto value = readValue(name);
    if (!value || !std::holds_alternative<std::string>(*value))
        return std::nullopt;
    return std::get<std::string>(std::move(*value));
}

std::optional<std::int32_t> SettingsStore::readSigned(std::string_view name) const {
    const auto number = readNumber(name);
    if (!number)
        return std::nullopt;
    return static_cast<std::int32_t>(*number); // two's complement, well defined since C++20
}

int SettingsStore::writeNumber(std::string_view name, std::uint32_t value) {
    return writeValues({{std::string(name), value}});
}

int SettingsStore::writeSigned(std::string_view name, std::int32_t value) {
    return writeNumber(name, static_cast<std::uint32_t>(value));
}

int SettingsStore::writeString(std::string_view name, std::string_view text) {
    return writeValues({{std::string(name), std::string(text)}});
}

int SettingsStore::writeValues(const std::vector<NamedValue>& values) {
    if (readOnly_)
        return 0;
    std::string contents;
    const int readError = platform::readWholeFile(filePath_, contents);
    if (readError != 0 && readError != ENOENT)
        return readError; // never replace a file we could not read
    std::vector<Line> lines = parseFile(contents);

    for (const NamedValue& value : values) {
        // The first line of the name takes the value; later ones would never be read again.
        std::vector<Line> kept;
        kept.reserve(lines.size() + 1);
        bool placed = false;
        for (Line& line : lines) {
            if (line.name && *line.name == value.name) {
                if (placed)
                    continue;
                line = {formatLine(value.name, value.value), value.name, value.value};
                placed = true;
            }
            kept.push_back(std::move(line));
        }
        if (!placed)
            kept.push_back({formatLine(value.name, value.value), value.name, value.value});
        lines = std::move(kept);
    }

    std::string out;
    const auto isHeader = [](std::string_view text) {
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        return text == kHeader.substr(0, kHeader.size() - 1);
    };
    if (lines.empty() || !isHeader(lines.front().text))
        out += kHeader;
    for (const Line& line : lines)
        out += line.text + "\n";

    if (const std::string folder = folderOf(filePath_); !folder.empty()) {
        if (const int error = platform::createFolders(folder); error != 0)
            return error;
    }
    return platform::writeFileAtomically(filePath_, out);
}

} // namespace velmora
