#include "FuzzEntries.h"

#include "items/ExclusionSet.h"
#include "items/FileItem.h"
#include "items/PathOrder.h"
#include "items/TextRecord.h"
#include "items/TimeValue.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace velmora::fuzz {

namespace {

FailureHandler& handler() {
    static FailureHandler current;
    return current;
}

void fail(const char* target, const std::string& what) {
    if (handler()) {
        handler()(target, what);
        return;
    }
    std::fprintf(stderr, "fuzz target %s: %s\n", target, what.c_str());
    std::abort();
}

void check(bool ok, const char* target, const std::string& what) {
    if (!ok)
        fail(target, what);
}

const char* styleName(PathStyle style) {
    return style == PathStyle::Posix ? "posix" : "windows";
}

// What a reader keeps of an item, in a form that compares and prints.
std::string describe(const FileItem& item) {
    return "[" + item.folder + "|" + item.name + "] kind " + std::to_string(item.kind) +
           (item.forwardSlash ? " /" : " \\");
}

// Entries with an empty path exclude nothing, and the reader drops blank lines at the start of a
// list, so they are left out of the comparisons.
std::vector<std::string> explicitList(const ExclusionSet& set) {
    std::vector<std::string> list;
    for (const FileItemPtr& entry : set.explicitEntries()) {
        if (!entry->fullPath().empty())
            list.push_back(describe(*entry));
    }
    return list;
}

// Wildcards are written in full-path form, so only the full path survives a save.
std::vector<std::string> wildcardList(const ExclusionSet& set) {
    std::vector<std::string> list;
    for (const FileItemPtr& entry : set.wildcards()) {
        if (!entry->fullPath().empty())
            list.push_back(entry->fullPath());
    }
    return list;
}

// The first field in which two profiles differ, or "" when they hold the same values.
std::string differingField(const Profile& a, const Profile& b) {
    if (a.deleteMissing != b.deleteMissing)
        return "delete_files";
    if (a.confirmDeletes != b.confirmDeletes)
        return "confirm_deletes";
    if (a.addMissing != b.addMissing)
        return "add_files";
    if (a.checkSubFolders != b.checkSubFolders)
        return "check_sub_folders";
    if (a.checkActions != b.checkActions)
        return "check_actions";
    if (a.compareOnTime != b.compareOnTime)
        return "compare_on_time";
    if (a.silentMode != b.silentMode)
        return "silent_mode";
    if (a.exitOnCompletion != b.exitOnCompletion)
        return "exit_on_completion";
    if (a.location1 != b.location1)
        return "location1";
    if (a.location2 != b.location2)
        return "location2";
    if (explicitList(a.exclusions) != explicitList(b.exclusions))
        return "explicit exclusions";
    if (wildcardList(a.exclusions) != wildcardList(b.exclusions))
        return "wildcard exclusions";
    if (a.adjustHours != b.adjustHours)
        return "adjust_time_hours";
    if (a.adjustMinutes != b.adjustMinutes)
        return "adjust_time_mins";
    if (a.autoStart != b.autoStart)
        return "auto_start";
    if (a.logPath != b.logPath)
        return "log_file_path";
    if (a.logOn != b.logOn)
        return "log_file_on";
    if (a.logAppend != b.logAppend)
        return "log_file_append";
    if (a.overwriteReadOnly != b.overwriteReadOnly)
        return "overwrite_read_only";
    if (a.hideOtherButton != b.hideOtherButton)
        return "hide_other_button";
    if (a.copyAttributes != b.copyAttributes)
        return "copy_attribs";
    return {};
}

void readProfile(std::string_view data, PathStyle style) {
    const char* target = "profile_reader";
    Profile profile(style);
    std::istringstream in{std::string(data)};
    if (!profile.read(in)) {
        check(differingField(profile, Profile(style)).empty(), target,
              std::string("a rejected file left values behind (") + styleName(style) + ")");
        return;
    }
    check(!profile.modified, target, "a read left the profile marked modified");
    std::ostringstream out;
    if (!profile.write(out))
        return; // a value that cannot be kept on one line: the caller refuses the save
    Profile again(style);
    std::istringstream back(out.str());
    check(again.read(back), target, "a written profile does not read back as valid");
    const std::string field = differingField(profile, again);
    check(field.empty(), target,
          "field " + field + " changed in a save and reload (" + styleName(style) + ")");
}

// Section helpers for the exclusion reader: the sorted order and every entry excluding itself.
void checkSet(const ExclusionSet& set, const char* target) {
    const auto sorted = [](const std::vector<FileItemPtr>& list) {
        for (std::size_t i = 1; i < list.size(); ++i) {
            if (comparePaths(*list[i - 1], *list[i]) > 0)
                return false;
        }
        return true;
    };
    check(sorted(set.explicitEntries()), target, "explicit list not sorted after reading");
    check(sorted(set.wildcards()), target, "wildcard list not sorted after reading");
    for (const FileItemPtr& entry : set.explicitEntries())
        check(set.isExcluded(*entry), target, "explicit entry not excluded: " + describe(*entry));
}

void readExclusions(std::string_view data, PathStyle style, double version) {
    const char* target = "exclusion_reader";
    TextRecord::setLastReadVersion(version);
    ExclusionSet set(style);
    std::istringstream in{std::string(data)};
    set.read(in);
    checkSet(set, target);

    std::ostringstream out;
    if (!set.write(out))
        return;
    std::istringstream back(out.str());
    std::string key;
    check(TextRecord::readKey(back, key) && key == "exclusions", target, "written sections lack their key");
    TextRecord::setLastReadVersion(Profile::kFileVersion);
    ExclusionSet again(style);
    check(again.read(back), target, "written sections do not read back whole");
    const auto joined = [](const std::vector<std::string>& list) {
        std::string text;
        for (const std::string& entry : list)
            text += entry + "; ";
        return text;
    };
    check(explicitList(again) == explicitList(set), target,
          std::string("explicit entries changed in a save and reload (") + styleName(style) +
              "): " + joined(explicitList(set)) + "became " + joined(explicitList(again)));
    check(wildcardList(again) == wildcardList(set), target,
          std::string("wildcards changed in a save and reload (") + styleName(style) + ")");
}

bool isSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

void parseItem(std::string_view text, PathStyle style) {
    const char* target = "item_parser";
    const std::string where = std::string(" (") + styleName(style) + ")";
    FileItem item;
    item.kind = kFile;
    item.setPath(text, style);
    if (text.empty()) {
        check(item.folder.empty() && item.name.empty() && item.kind == kFile, target,
              "an empty text must empty the item and keep its kind");
        return;
    }
    // The full path is the text without its trailing separators; only separators name the root.
    std::string_view stripped = text;
    while (!stripped.empty() && isSeparator(stripped.back(), style))
        stripped.remove_suffix(1);
    std::string expected(stripped);
    if (stripped.empty() && (style == PathStyle::Posix || text == "/"))
        expected = "/";
    check(item.fullPath() == expected, target, "full path " + describe(item) + where);
    check(item.name.empty() || !isSeparator(item.name.back(), style), target,
          "name ends in a separator" + where);
    check(item.folder.empty() || isSeparator(item.folder.back(), style), target,
          "folder does not end in a separator" + where);
    check(item.kind == (isSeparator(text.back(), style) || (style == PathStyle::Windows && text.back() == ':')
                            ? kFolder
                            : kFile),
          target, "kind" + where);

    // The display form is what a profile stores: it must split into the same item again.
    FileItem again;
    again.kind = item.kind;
    again.forwardSlash = item.forwardSlash; // an empty display path leaves both alone
    again.setPath(item.displayPath(), style);
    check(describe(again) == describe(item), target,
          "display path " + item.displayPath() + " reads as " + describe(again) + " not " + describe(item) +
              where);

    ExclusionSet set(style);
    set.addExplicit(text);
    set.addWildcard(text);
    set.finish();
    check(set.isExcluded(text) && set.isExcluded(item), target,
          "an explicit exclusion misses itself" + where);
    ExclusionSet wildcardOnly(style);
    wildcardOnly.addWildcard(text);
    check(item.name.empty() || wildcardOnly.isExcluded(text), target, "a wildcard misses itself" + where);
}

void parseTime(std::string_view text) {
    const char* target = "item_parser";
    const TimeValue time = TimeValue::parse(text);
    check(time.hours() <= 23 && time.minutes() <= 59 && time.seconds() <= 59, target, "time out of range");
    check(TimeValue::parse(time.format(0x70)) == time, target, "time does not survive its own format");

    if (text.size() < 4)
        return;
    DateValue date(static_cast<std::uint16_t>(static_cast<unsigned char>(text[0]) << 8 |
                                              static_cast<unsigned char>(text[1])));
    const int day = static_cast<signed char>(text[2]);
    const int month = static_cast<signed char>(text[3]) % 16;
    const int year = text.size() > 4 ? static_cast<unsigned char>(text[4]) * 9 : 2000;
    DateValue set;
    if (set.set(day, month, year)) {
        check(set.empty() || (set.month() >= 1 && set.month() <= 12 && set.day() >= 1 &&
                              set.day() <= DateValue::monthLength(set.month(), set.year())),
              target, "a date set as valid is not");
    }
    const unsigned flags =
        static_cast<unsigned>(static_cast<unsigned char>(text[3]) << 4 | static_cast<unsigned char>(text[2]));
    (void)date.format(static_cast<int>(flags & 0xF0F), static_cast<unsigned char>(text[0]) % 3, text[1]);
    (void)date.weekday();
    DateValue later = date;
    later.addDays(static_cast<signed char>(text[2]));
    (void)later.daysSince(date);
    (void)TimeValue(time).addMinutes(static_cast<signed char>(text[2]) * 97);
}

// Up to the first NUL byte is the pattern, the rest the name; without one the text is both.
bool referenceMatch(std::string_view pattern, std::string_view name) {
    const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    const std::size_t columns = name.size() + 1;
    // matches[i * columns + j]: pattern from i matches name from j.
    std::vector<char> matches((pattern.size() + 1) * columns, 0);
    for (std::size_t i = pattern.size() + 1; i-- > 0;) {
        for (std::size_t j = name.size() + 1; j-- > 0;) {
            bool result = false;
            if (j == name.size()) {
                // A used-up name still matches a tail of "*" and ".*".
                std::size_t p = i;
                while (p < pattern.size() &&
                       (pattern[p] == '*' ||
                        (pattern[p] == '.' && p + 1 < pattern.size() && pattern[p + 1] == '*')))
                    ++p;
                result = p == pattern.size();
            } else if (i == pattern.size()) {
                result = false;
            } else if (pattern[i] == '*') {
                result = matches[(i + 1) * columns + j] || matches[i * columns + j + 1];
            } else if (pattern[i] == '?' || upper(pattern[i]) == upper(name[j])) {
                result = matches[(i + 1) * columns + j + 1];
            }
            matches[i * columns + j] = result;
        }
    }
    return matches[0];
}

std::string swapAsciiCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A folder of our own for the settings file, removed at exit.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velmora-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    ::unlink((path_ + "/" + name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(path_.c_str());
    }
    std::string at(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Everything the program reads from its settings, in one comparable text.
std::string everythingRead(const SettingsStore& store) {
    std::ostringstream out;
    const GeneralSettings general = readGeneralSettings(store);
    out << general.showTooltips << general.ddmmyy << ' ' << general.timeDifference << ' '
        << general.commandTimeout << general.showNoTextButtons << '\n';
    const RecentLists recent = readRecentLists(store);
    for (std::size_t i = 0; i < RecentLists::kLocations; ++i)
        out << recent.location1[i] << '\n' << recent.location2[i] << '\n';
    for (const std::string& file : recent.files)
        out << file << '\n';
    out << recent.profilePath << '\n';
    const ProfileOptions options = readOptionSettings(store);
    out << options.addMissing << options.deleteMissing << options.confirmDeletes << options.checkSubFolders
        << options.checkActions << options.overwriteReadOnly << options.copyAttributes
        << !options.compareOnTime << ' ' << options.adjustHours << ' ' << options.adjustMinutes
        << options.logOn << options.logAppend << ' ' << options.logPath << '\n';
    out << readOpenPath(store) << '\n' << readBrowseStyle(store) << '\n';
    return out.str();
}

} // namespace

void setFailureHandler(FailureHandler newHandler) {
    handler() = std::move(newHandler);
}

void profileReader(std::string_view data) {
    readProfile(data, PathStyle::Posix);
    readProfile(data, PathStyle::Windows);
}

namespace {

// Any list of paths that can be written must read back the same, whatever its order (the list
// dialog lets the user put any path first).
void saveAndReloadBatch(const Batch& batch, const char* target) {
    std::ostringstream out;
    if (!batch.write(out))
        return;
    Batch again;
    std::istringstream back(out.str());
    check(again.read(back), target, "a written batch does not read back as valid");
    // Empty lines before the first path are skipped on reading; an empty path names no profile.
    auto expected = batch.profiles;
    while (!expected.empty() && expected.front().empty())
        expected.erase(expected.begin());
    check(again.profiles == expected, target, "the profile list changed in a save and reload");
}

} // namespace

void batchReader(std::string_view data) {
    const char* target = "batch_reader";
    Batch batch;
    std::istringstream in{std::string(data)};
    if (!batch.read(in)) {
        check(batch.profiles.empty(), target, "a rejected batch kept profiles");
        return;
    }
    saveAndReloadBatch(batch, target);
    std::reverse(batch.profiles.begin(), batch.profiles.end());
    saveAndReloadBatch(batch, target);
}

void settingsReader(std::string_view data) {
    const char* target = "settings_reader";
    static const ScratchFolder folder;
    const std::string path = folder.at("Velmora.conf");
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
    SettingsStore store(path);
    const std::string before = everythingRead(store);
    check(fileContents(path) == data, target, "reading changed the file");

    // Any byte string and number must survive a save, and a save must not disturb other values.
    const std::string text(data.substr(0, 64));
    const auto number = static_cast<std::uint32_t>(data.size() * 2654435761u);
    check(store.writeValues({{"FuzzText", text}, {"FuzzNumber", number}}) == 0, target, "a save failed");
    check(store.readString("FuzzText") == text, target, "a saved text reads back different");
    check(store.readNumber("FuzzNumber") == number, target, "a saved number reads back different");
    check(everythingRead(store) == before, target, "a save changed other values");
}

void patternMatcher(std::string_view data) {
    const char* target = "pattern_matcher";
    const auto nul = data.find('\0');
    const std::string_view pattern = data.substr(0, nul);
    const std::string_view name = nul == std::string_view::npos ? data : data.substr(nul + 1);

    const bool result = matchesPattern(pattern, name);
    check(matchesPattern(pattern, pattern), target, "a pattern does not match itself");
    check(matchesPattern(pattern, swapAsciiCase(name)) == result, target, "ASCII case changed the result");
    check(name.empty() || matchesPattern("*", name), target, "\"*\" refused a name");
    if (pattern.size() * name.size() <= 1 << 16)
        check(referenceMatch(pattern, name) == result, target,
              std::string("differs from the reference walk: ") + (result ? "match" : "no match"));
}

void itemParser(std::string_view data) {
    parseItem(data, PathStyle::Posix);
    parseItem(data, PathStyle::Windows);
    parseTime(data);
}

void exclusionReader(std::string_view data) {
    readExclusions(data, PathStyle::Posix, Profile::kFileVersion);
    readExclusions(data, PathStyle::Windows, Profile::kFileVersion);
    readExclusions(data, PathStyle::Posix, 1.05);
}

const std::vector<Target>& targets() {
    static const std::vector<Target> all = {
        {"profile_reader", profileReader},   {"batch_reader", batchReader},
        {"settings_reader", settingsReader}, {"pattern_matcher", patternMatcher},
        {"item_parser", itemParser},         {"exclusion_reader", exclusionReader},
    };
    return all;
}

const Target* findTarget(std::string_view name) {
    for (const Target& target : targets()) {
        if (name == target.name)
            return &target;
    }
    return nullptr;
}

} // namespace velmora::fuzz
