#include "profiles/Profile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
#include <limits>
#include <sstream>
#include <string_view>

namespace velmora {

namespace {

constexpr const char* kEol = "\r\n";
constexpr std::streamsize kMaxSkippedLine = 256;

bool fitsOnOneLine(std::string_view text) {
    return text.find('\n') == std::string_view::npos && (text.empty() || text.back() != '\r');
}

// The rest of the line after "=", without its line end (CR LF or LF), which is consumed.
std::string restOfLine(std::istream& in) {
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// A value that cannot be parsed leaves the field alone and the stream failed, which ends reading.
void readFlag(std::istream& in, bool& field) {
    bool value = false;
    if (in >> value)
        field = value;
}

void readNumber(std::istream& in, std::int32_t& field) {
    std::int32_t value = 0;
    if (in >> value)
        field = value;
}

// Digits from `at`, saturating so that a long run cannot overflow; -1 when there are none.
int digitsAt(std::string_view word, std::size_t& at) {
    if (at >= word.size() || !std::isdigit(static_cast<unsigned char>(word[at])))
        return -1;
    int value = 0;
    while (at < word.size() && std::isdigit(static_cast<unsigned char>(word[at]))) {
        value = value > 100000 ? value : value * 10 + (word[at] - '0');
        ++at;
    }
    return value;
}

int digitsOf(std::string_view part) {
    std::size_t at = 0;
    const int value = digitsAt(part, at);
    return value < 0 ? 0 : value;
}

// The older "adjust_time" value: a time of day as H:M:S, HHMM or HHMMSS. An hour or minute out
// of range counts as 0, so negative adjustments cannot be written this way.
void readOldAdjustTime(std::istream& in, Profile& profile) {
    std::string word;
    if (!(in >> word))
        return;
    // Seconds may follow but an adjustment has none, so they are not looked at.
    std::size_t at = 0;
    int hours = std::max(digitsAt(word, at), 0);
    int minutes = 0;
    if (at == word.size() && word.size() >= 3) {
        hours = digitsOf(word.substr(0, 2));
        minutes = digitsOf(word.substr(2, 2));
    } else {
        if (at < word.size() && word[at] == ':')
            ++at;
        minutes = std::max(digitsAt(word, at), 0);
    }
    profile.adjustHours = hours <= 23 ? hours : 0;
    profile.adjustMinutes = minutes <= 59 ? minutes : 0;
}

// The 1-based line that holds the byte at `offset`.
int lineAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

// The line on which the text ends (a final line break ends the line before it).
int lastLineOf(std::string_view text) {
    return text.empty() ? 1 : lineAt(text, text.size() - 1);
}

// Keys whose value is one line of text: an empty value at the end of the file is still a value.
bool takesRestOfLine(const std::string& key) {
    return key == "location1" || key == "location2" || key == "log_file_path";
}

const char* flagText(bool value) {
    return value ? "1" : "0";
}

} // namespace

std::string versionText(double version) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, version);
    return std::string(buffer, result.ptr);
}

void Profile::reset() {
    const bool keepValid = valid;
    *this = Profile(exclusions.pathStyle());
    valid = keepValid;
}

bool Profile::write(std::ostream& out) const {
    bool faithful = fitsOnOneLine(location1) && fitsOnOneLine(location2) && fitsOnOneLine(logPath);
    out << "velmora_version=" << versionText(kFileVersion) << kEol;
    out << "location1=" << location1 << kEol;
    out << "location2=" << location2 << kEol;
    out << "delete_files=" << flagText(deleteMissing) << kEol;
    out << "confirm_deletes=" << flagText(confirmDeletes) << kEol;
    out << "add_files=" << flagText(addMissing) << kEol;
    out << "check_sub_folders=" << flagText(checkSubFolders) << kEol;
    out << "auto_start=" << static_cast<std::int32_t>(autoStart) << kEol;
    out << "check_actions=" << flagText(checkActions) << kEol;
    out << "silent_mode=" << flagText(silentMode) << kEol;
    out << "exit_on_completion=" << flagText(exitOnCompletion) << kEol;
    out << "compare_on_time=" << flagText(compareOnTime) << kEol;
    out << "adjust_time_hours=" << adjustHours << kEol;
    out << "adjust_time_mins=" << adjustMinutes << kEol;
    out << "log_file_on=" << flagText(logOn) << kEol;
    out << "log_file_append=" << flagText(logAppend) << kEol;
    out << "log_file_path=" << logPath << kEol;
    out << "overwrite_read_only=" << flagText(overwriteReadOnly) << kEol;
    out << "hide_other_button=" << flagText(hideOtherButton) << kEol;
    out << "copy_attribs=" << flagText(copyAttributes) << kEol;
    faithful = exclusions.write(out) && faithful;
    modified = false;
    return faithful && out.good();
}

bool Profile::read(std::istream& stream) {
    reset();
    valid = false;
    // Read whole first, so that the place where reading stops can be named by its line.
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    std::istringstream in(text);
    std::string key;
    while (readKey(in, key)) {
        const std::streamoff valueAt = in.tellg();
        const auto stopHere = [&] {
            readStop.key = key;
            readStop.line = lineAt(text, valueAt < 0 ? text.size() : static_cast<std::size_t>(valueAt));
        };
        // The end of the file before an "=": only white space is left, or a key was cut off.
        if (in.eof()) {
            if (valid && !key.empty())
                stopHere();
            break;
        }
        if (key == "velmora_version") {
            double version = 0.0;
            in >> version;
            setLastReadVersion(version);
            valid = true;
        } else if (key == "location1") {
            location1 = restOfLine(in);
        } else if (key == "location2") {
            location2 = restOfLine(in);
        } else if (key == "log_file_path") {
            logPath = restOfLine(in);
        } else if (key == "delete_files") {
            readFlag(in, deleteMissing);
        } else if (key == "confirm_deletes") {
            readFlag(in, confirmDeletes);
        } else if (key == "add_files") {
            readFlag(in, addMissing);
        } else if (key == "check_sub_folders") {
            readFlag(in, checkSubFolders);
        } else if (key == "check_actions") {
            readFlag(in, checkActions);
        } else if (key == "silent_mode") {
            readFlag(in, silentMode);
        } else if (key == "exit_on_completion") {
            readFlag(in, exitOnCompletion);
        } else if (key == "log_file_on") {
            readFlag(in, logOn);
        } else if (key == "log_file_append") {
            readFlag(in, logAppend);
        } else if (key == "compare_on_time") {
            readFlag(in, compareOnTime);
        } else if (key == "overwrite_read_only") {
            readFlag(in, overwriteReadOnly);
        } else if (key == "hide_other_button") {
            readFlag(in, hideOtherButton);
        } else if (key == "copy_attribs") {
            readFlag(in, copyAttributes);
        } else if (key == "adjust_time_hours") {
            readNumber(in, adjustHours);
        } else if (key == "adjust_time_mins") {
            readNumber(in, adjustMinutes);
        } else if (key == "auto_start") {
            std::int32_t number = static_cast<std::int32_t>(autoStart);
            readNumber(in, number);
            autoStart = static_cast<AutoStartDirection>(number);
        } else if (key == "adjust_time") {
            readOldAdjustTime(in, *this);
        } else if (key == "exclusions") {
            if (!exclusions.read(in)) {
                // The list ran to the end of the file without its end line.
                readStop.key = key;
                readStop.line = lastLineOf(text);
            }
        } else {
            in.ignore(kMaxSkippedLine, '\n');
        }
        if (in.fail() && valid && !damaged() && !takesRestOfLine(key))
            stopHere();
        // The version key must come first: anything else is not one of our files.
        if (!valid)
            break;
    }
    if (!valid)
        reset();
    modified = false;
    return valid;
}

} // namespace velmora
