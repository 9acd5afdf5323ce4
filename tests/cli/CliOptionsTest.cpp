#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

ParseResult parse(std::vector<std::string> args) {
    return parseArguments(args);
}

TEST(CliOptions, OneOffRunTakesEveryProfileField) {
    const ParseResult result = parse({"--no-add",
                                      "--no-delete",
                                      "--no-subfolders",
                                      "--compare=size",
                                      "--adjust-hours",
                                      "-2",
                                      "--adjust-mins=+30",
                                      "--time-difference=10",
                                      "--timeout",
                                      "0",
                                      "--overwrite-read-only",
                                      "--copy-attributes",
                                      "--exclude=a/b",
                                      "--exclude",
                                      "c",
                                      "--exclude-wildcard=*.tmp",
                                      "--check",
                                      "--confirm-deletes",
                                      "--log=run.log",
                                      "--log-append",
                                      "--save-profile=p.vmp",
                                      "src",
                                      "dst"});
    ASSERT_EQ(result.error, "");
    const CliOptions& o = result.options;
    EXPECT_TRUE(o.oneOff());
    EXPECT_EQ(o.source, "src");
    EXPECT_EQ(o.target, "dst");
    EXPECT_TRUE(o.noAdd && o.noDelete && o.noSubFolders && o.compareOnSize);
    EXPECT_EQ(o.adjustHours, -2);
    EXPECT_EQ(o.adjustMinutes, 30);
    EXPECT_EQ(o.timeDifference, 10u);
    EXPECT_EQ(o.timeout, 0u);
    EXPECT_TRUE(o.overwriteReadOnly && o.copyAttributes && o.check && o.confirmDeletes && o.logAppend);
    EXPECT_EQ(o.excludes, (std::vector<std::string>{"a/b", "c"}));
    EXPECT_EQ(o.excludeWildcards, (std::vector<std::string>{"*.tmp"}));
    EXPECT_EQ(o.logPath, "run.log");
    EXPECT_EQ(o.saveProfile, "p.vmp");
}

TEST(CliOptions, FileFormWithBundledShortOptions) {
    const ParseResult result = parse({"-nyqj", "4", "--direction=2to1", "--settings", "s.conf", "work.vmp"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.options.file, "work.vmp");
    EXPECT_FALSE(result.options.oneOff());
    EXPECT_TRUE(result.options.dryRun && result.options.yes && result.options.quiet);
    EXPECT_EQ(result.options.direction, 2);
    EXPECT_EQ(result.options.settingsPath, "s.conf");
    EXPECT_EQ(result.options.jobs, 4u);
    EXPECT_EQ(parse({"-j32", "a", "b"}).options.jobs, 32u);
    EXPECT_EQ(parse({"--jobs=1", "a", "b"}).options.jobs, 1u);
}

TEST(CliOptions, DoubleDashEndsOptions) {
    const ParseResult result = parse({"--", "-odd", "--name"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.options.source, "-odd");
    EXPECT_EQ(result.options.target, "--name");
}

TEST(CliOptions, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(parse({"--bogus-later-is-still-an-error", "--help"}).error,
              "unknown option '--bogus-later-is-still-an-error'");
    EXPECT_EQ(parse({"--help"}).options.mode, CliOptions::Mode::Help);
    EXPECT_EQ(parse({"-h", "a", "b", "c"}).options.mode, CliOptions::Mode::Help);
    EXPECT_EQ(parse({"--version"}).options.mode, CliOptions::Mode::Version);
}

TEST(CliOptions, BadUsageNamesTheMistake) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing FILE, or SOURCE and TARGET"},
        {{"a", "b", "c"}, "too many arguments: 'c' (expected FILE, or SOURCE and TARGET)"},
        {{"--frobnicate", "a", "b"}, "unknown option '--frobnicate'"},
        {{"-x", "a", "b"}, "unknown option '-x'"},
        {{"-nx", "a", "b"}, "unknown option '-x'"},
        {{"--yes=1", "a", "b"}, "--yes takes no value"},
        {{"a", "b", "--log"}, "--log needs a value"},
        {{"--log=", "a", "b"}, "--log needs a non-empty value"},
        {{"--compare=date", "a", "b"}, "--compare: 'date' is neither time nor size"},
        {{"--adjust-hours=1h", "a", "b"}, "--adjust-hours: '1h' is not a whole number"},
        {{"--adjust-mins=", "a", "b"}, "--adjust-mins: '' is not a whole number"},
        {{"--timeout=-1", "a", "b"}, "--timeout: '-1' is not a whole number"},
        {{"--timeout=4294967296", "a", "b"}, "--timeout: '4294967296' is out of range"},
        {{"--jobs=0", "a", "b"}, "--jobs: '0' is not between 1 and 32"},
        {{"-j33", "a", "b"}, "--jobs: '33' is not between 1 and 32"},
        {{"a", "b", "-j"}, "-j needs a value"},
        {{"--direction=up", "p.vmp"}, "--direction: 'up' is neither 1to2 nor 2to1"},
        {{"--direction=1to2", "a", "b"}, "--direction applies only to a profile (FILE)"},
        {{"--direction=1to2", "b.vmb"},
         "--direction applies only to a profile: each profile of a batch runs in its own direction"},
        {{"--no-delete", "p.vmp"}, "--no-delete applies only to a run from SOURCE to TARGET"},
        {{"--save-profile=x.vmp", "b.vmb"}, "--save-profile applies only to a run from SOURCE to TARGET"},
        {{"folder/"},
         "'folder/' is neither a profile (.vmp) nor a batch file (.vmb); a one-off run needs SOURCE and "
         "TARGET"},
        {{"", "b"}, "an empty path was given"},
        {{"--log-append", "a", "b"}, "--log-append needs --log=FILE"},
        {{"-n", "--log=x", "a", "b"}, "--log cannot be used with --dry-run: a dry run writes nothing"},
        {{"-n", "--save-profile=x.vmp", "a", "b"},
         "--save-profile cannot be used with --dry-run: a dry run writes nothing"},
        {{"--auto-start=1to2", "a", "b"},
         "--auto-start needs --save-profile=FILE: it is the saved profile's setting"},
        {{"--auto-start=1to2", "p.vmp"}, "--auto-start applies only to a run from SOURCE to TARGET"},
        {{"--max-delete=-1", "p.vmp"}, "--max-delete: '-1' is not a whole number"},
    };
    for (const auto& [args, error] : cases)
        EXPECT_EQ(parse(args).error, error) << testing::PrintToString(args);
}

TEST(CliOptions, UsageTextListsEveryOption) {
    const std::string text = usageText();
    for (const char* option : {"--dry-run",
                               "--yes",
                               "--quiet",
                               "--direction",
                               "--settings",
                               "--time-difference",
                               "--timeout",
                               "--check",
                               "--confirm-deletes",
                               "--no-add",
                               "--no-delete",
                               "--no-subfolders",
                               "--compare",
                               "--adjust-hours",
                               "--adjust-mins",
                               "--overwrite-read-only",
                               "--copy-attributes",
                               "--exclude=",
                               "--exclude-wildcard",
                               "--log=",
                               "--log-append",
                               "--save-profile",
                               "--auto-start",
                               "--verbose",
                               "--max-delete",
                               "--allow-empty-source",
                               "--help",
                               "--version"})
        EXPECT_NE(text.find(option), std::string::npos) << option;
    // The escapes of the dry-run output are shown as typed, never as the characters they stand for.
    EXPECT_NE(text.find(R"(\n, \t, \\)"), std::string::npos);
    EXPECT_EQ(text.find('\t'), std::string::npos);
}

} // namespace
} // namespace velmora::cli
