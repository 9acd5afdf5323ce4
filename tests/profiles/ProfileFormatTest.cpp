#include "profiles/Profile.h"

#include <gtest/gtest.h>
#include <sstream>

namespace velmora {
namespace {

std::string crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const std::string kExample = crlf({
    "velmora_version=1.09",
    "location1=C:\\Work\\",
    "location2=\\\\Server\\Backup\\Work\\",
    "delete_files=1",
    "confirm_deletes=0",
    "add_files=1",
    "check_sub_folders=1",
    "auto_start=1",
    "check_actions=0",
    "silent_mode=1",
    "exit_on_completion=1",
    "compare_on_time=1",
    "adjust_time_hours=-1",
    "adjust_time_mins=0",
    "log_file_on=1",
    "log_file_append=0",
    "log_file_path=C:\\Logs\\work.txt",
    "overwrite_read_only=0",
    "hide_other_button=1",
    "copy_attribs=0",
    "exclusions=",
    // In the path ordering (ASCII case ignored) notes.txt sorts before Temp.
    "C:\\Work\\notes.txt",
    "C:\\Work\\Temp\\",
    "end_exclusions",
    "wildcard_exclusions=",
    "*.tmp",
    "end_wildcard_exclusions",
});

Profile readText(const std::string& text, PathStyle style = PathStyle::Posix) {
    Profile profile(style);
    std::istringstream in(text);
    profile.read(in);
    return profile;
}

std::string writeText(const Profile& profile) {
    std::ostringstream out;
    EXPECT_TRUE(profile.write(out));
    return out.str();
}

TEST(ProfileFormat, ExampleFileRoundTripsByteForByte) {
    const Profile profile = readText(kExample, PathStyle::Windows);
    ASSERT_TRUE(profile.valid);
    EXPECT_EQ(profile.location2, "\\\\Server\\Backup\\Work\\");
    EXPECT_EQ(profile.adjustHours, -1);
    EXPECT_EQ(profile.autoStart, AutoStartDirection::OneToTwo);
    EXPECT_FALSE(profile.checkActions);
    EXPECT_TRUE(profile.hideOtherButton);
    EXPECT_EQ(profile.exclusions.explicitEntries().size(), 2u);
    EXPECT_EQ(profile.exclusions.wildcards().size(), 1u);
    EXPECT_EQ(writeText(profile), kExample);
}

TEST(ProfileFormat, ExclusionsOutOfOrderAreWrittenSorted) {
    std::string text = kExample;
    const std::string sorted = "C:\\Work\\notes.txt\r\nC:\\Work\\Temp\\\r\n";
    const std::string swapped = "C:\\Work\\Temp\\\r\nC:\\Work\\notes.txt\r\n";
    text.replace(text.find(sorted), sorted.size(), swapped);
    EXPECT_EQ(writeText(readText(text, PathStyle::Windows)), kExample);
}

TEST(ProfileFormat, LoneLineFeedsReadLikeCrLf) {
    std::string text = kExample;
    std::erase(text, '\r');
    const Profile profile = readText(text, PathStyle::Windows);
    ASSERT_TRUE(profile.valid);
    EXPECT_EQ(profile.location1, "C:\\Work\\");
    EXPECT_EQ(profile.logPath, "C:\\Logs\\work.txt");
    EXPECT_EQ(writeText(profile), kExample);
}

TEST(ProfileFormat, WrittenDefaultsReadBackAndWriteClearsModified) {
    Profile profile;
    profile.location1 = "/home/ann/work/";
    profile.location2 = " /mnt/backup with spaces/";
    profile.adjustMinutes = -45;
    profile.compareOnTime = false;
    profile.copyAttributes = true;
    profile.exclusions.addExplicit("/home/ann/work/tmp/");
    profile.exclusions.addWildcard("*.o");
    profile.modified = true;
    const std::string text = writeText(profile);
    EXPECT_FALSE(profile.modified);
    EXPECT_EQ(text.rfind("velmora_version=1.09\r\n", 0), 0u);

    const Profile back = readText(text);
    EXPECT_TRUE(back.valid);
    EXPECT_EQ(back.location2, profile.location2);
    EXPECT_EQ(back.adjustMinutes, -45);
    EXPECT_FALSE(back.compareOnTime);
    EXPECT_TRUE(back.copyAttributes);
    EXPECT_EQ(writeText(back), text);
}

TEST(ProfileFormat, ValueWithLineBreakIsRefusedRatherThanWrittenBroken) {
    Profile profile;
    profile.location1 = "/data/odd\nname/";
    std::ostringstream out;
    EXPECT_FALSE(profile.write(out));
}

TEST(ProfileFormat, OnlyTheVersionLineGivesDefaults) {
    Profile profile = readText("velmora_version=1.09\r\n");
    EXPECT_TRUE(profile.valid);
    EXPECT_TRUE(profile.deleteMissing);
    EXPECT_TRUE(profile.addMissing);
    EXPECT_TRUE(profile.checkActions);
    EXPECT_TRUE(profile.compareOnTime);
    EXPECT_FALSE(profile.logOn);
    EXPECT_EQ(profile.autoStart, AutoStartDirection::Off);
    EXPECT_TRUE(profile.exclusions.empty());
    EXPECT_DOUBLE_EQ(TextRecord::lastReadVersion(), 1.09);
}

TEST(ProfileFormat, FileNotStartingWithVersionIsInvalidAndAtDefaults) {
    Profile profile;
    profile.location2 = "/kept/";
    profile.modified = true;
    std::istringstream in(crlf({"location1=/a/", "velmora_version=1.09", "delete_files=0"}));
    EXPECT_FALSE(profile.read(in));
    EXPECT_FALSE(profile.valid);
    EXPECT_EQ(profile.location1, "");
    EXPECT_EQ(profile.location2, "");
    EXPECT_TRUE(profile.deleteMissing);
    EXPECT_FALSE(profile.modified);

    EXPECT_FALSE(readText("").valid);
    EXPECT_FALSE(readText("\r\n\r\n").valid);
}

struct LineCase {
    const char* name;
    std::string lines;
    void (*check)(const Profile&);
};

class ProfileExampleLines : public testing::TestWithParam<LineCase> {};

TEST_P(ProfileExampleLines, HaveTheirEffect) {
    const Profile profile = readText("velmora_version=1.09\r\n" + GetParam().lines);
    EXPECT_TRUE(profile.valid);
    GetParam().check(profile);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileExampleLines,
    testing::Values(LineCase{"BlankLinesBetweenKeys", "\r\n\r\n\r\ndelete_files=0\r\n\r\nadd_files=0\r\n",
                             [](const Profile& p) {
                                 EXPECT_FALSE(p.deleteMissing);
                                 EXPECT_FALSE(p.addMissing);
                             }},
                    LineCase{"WhiteSpaceInKeyRemoved", "  delete_files =0\r\n",
                             [](const Profile& p) { EXPECT_FALSE(p.deleteMissing); }},
                    LineCase{"StringKeepsLeadingSpace", "location1= C:\\A\r\n",
                             [](const Profile& p) { EXPECT_EQ(p.location1, " C:\\A"); }},
                    LineCase{"KeysAreCaseSensitive", "DELETE_FILES=0\r\nadd_files=0\r\n",
                             [](const Profile& p) {
                                 EXPECT_TRUE(p.deleteMissing);
                                 EXPECT_FALSE(p.addMissing); // the line after the unknown key is still read
                             }},
                    LineCase{"OldAdjustTimeWithColons", "adjust_time=2:30:00\r\n",
                             [](const Profile& p) {
                                 EXPECT_EQ(p.adjustHours, 2);
                                 EXPECT_EQ(p.adjustMinutes, 30);
                             }},
                    LineCase{"OldAdjustTimeCompact", "adjust_time=0230\r\n",
                             [](const Profile& p) {
                                 EXPECT_EQ(p.adjustHours, 2);
                                 EXPECT_EQ(p.adjustMinutes, 30);
                             }},
                    LineCase{"OldAdjustTimeOutOfRange", "adjust_time_mins=7\r\nadjust_time=25:00\r\n",
                             [](const Profile& p) {
                                 EXPECT_EQ(p.adjustHours, 0);
                                 EXPECT_EQ(p.adjustMinutes, 0);
                             }},
                    LineCase{"UnparsableValueStopsReading",
                             "confirm_deletes=1\r\ndelete_files=2\r\nadd_files=0\r\n",
                             [](const Profile& p) {
                                 EXPECT_TRUE(p.confirmDeletes); // read before: kept
                                 EXPECT_TRUE(p.addMissing);     // after: default
                             }},
                    LineCase{"NumberWithoutDigitsStopsReading", "auto_start=x\r\nsilent_mode=1\r\n",
                             [](const Profile& p) {
                                 EXPECT_EQ(p.autoStart, AutoStartDirection::Off);
                                 EXPECT_FALSE(p.silentMode);
                             }},
                    LineCase{"LastOfRepeatedKeyWins", "auto_start=1\r\nauto_start=2\r\n",
                             [](const Profile& p) { EXPECT_EQ(p.autoStart, AutoStartDirection::TwoToOne); }},
                    LineCase{"OverlongKeyIsUnrecognised", std::string(1500, 'k') + "=1\r\nadd_files=0\r\n",
                             [](const Profile& p) { EXPECT_FALSE(p.addMissing); }}),
    [](const testing::TestParamInfo<LineCase>& testCase) { return std::string(testCase.param.name); });

TEST(ProfileExclusions, OldFileHasNoWildcardSection) {
    const Profile profile = readText(crlf({"velmora_version=1.05", "exclusions=", "/a/b", "end_exclusions",
                                           "wildcard_exclusions=", "*.tmp", "end_wildcard_exclusions"}));
    EXPECT_TRUE(profile.valid);
    EXPECT_EQ(profile.exclusions.explicitEntries().size(), 1u);
    EXPECT_TRUE(profile.exclusions.wildcards().empty());
}

TEST(ProfileExclusions, FtpEndMarkerAndEmptyLinesAndSecondSection) {
    const Profile profile = readText(crlf(
        {"velmora_version=1.09", "exclusions=", "/a/b", "", "end_ftp_exclusions",
         "wildcard_exclusions=", "*.tmp", "end_wildcard_exclusions", "exclusions=", "/c", "end_exclusions"}));
    EXPECT_TRUE(profile.valid);
    const auto& entries = profile.exclusions.explicitEntries();
    ASSERT_EQ(entries.size(), 3u);
    int empty = 0;
    for (const auto& entry : entries)
        empty += entry->fullPath().empty() ? 1 : 0;
    EXPECT_EQ(empty, 1);
    EXPECT_EQ(profile.exclusions.wildcards().size(), 1u);
}

// Where reading stopped before the end of the file, or {0, ""} for a whole read.
TEST(ProfileDamage, ReadingThatStopsEarlyIsRememberedWithItsLineAndKey) {
    const std::string head = "velmora_version=1.09\r\ndelete_files=0\r\n";
    const struct {
        const char* name;
        std::string text;
        int line;
        const char* key;
    } cases[] = {
        {"whole file", kExample, 0, ""},
        {"version line only", "velmora_version=1.09\r\n", 0, ""},
        {"last line without line end", head + "location1=/a", 0, ""},
        {"mistyped flag", head + "add_files=no\r\nexclusions=\r\n/x\r\nend_exclusions\r\n", 3, "add_files"},
        {"number without digits", head + "\r\nauto_start=x\r\n", 4, "auto_start"},
        {"version without number", "velmora_version=new\r\n", 1, "velmora_version"},
        {"explicit list without end line", head + "exclusions=\r\n/x\r\n/y\r\n", 5, "exclusions"},
        {"explicit list cut in a line", head + "exclusions=\r\n/x\r\n/y", 5, "exclusions"},
        {"wildcard list without end line",
         head + "exclusions=\r\nend_exclusions\r\nwildcard_exclusions=\r\n*.tmp\r\n", 6, "exclusions"},
        {"wildcard key cut", head + "exclusions=\r\nend_exclusions\r\nwildcard_excl", 5, "exclusions"},
        {"key cut before its =", head + "copy_att", 3, "copy_att"},
        {"not a profile at all", "delete_files=no\r\n", 0, ""},
    };
    for (const auto& c : cases) {
        const Profile profile = readText(c.text);
        EXPECT_EQ(profile.readStop.line, c.line) << c.name;
        EXPECT_EQ(profile.readStop.key, c.key) << c.name;
        EXPECT_EQ(profile.damaged(), c.line != 0) << c.name;
    }

    // What was read before the damage stays, so that the user can repair the profile; what came
    // after it (here the exclusions) is what makes running it unsafe.
    const Profile cut = readText(head + "add_files=no\r\nexclusions=\r\n/x\r\nend_exclusions\r\n");
    EXPECT_TRUE(cut.valid);
    EXPECT_FALSE(cut.deleteMissing);
    EXPECT_TRUE(cut.exclusions.empty());
    Profile reset = cut;
    reset.reset();
    EXPECT_FALSE(reset.damaged());
}

} // namespace
} // namespace velmora
