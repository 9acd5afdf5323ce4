// The built velmora-cli run on real temporary trees.
#include "CliProcess.h"
#include "cli/ExitStatus.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::cli::test {
namespace {

using velmora::test::TempDir;

// Mid-November, far from daylight-saving changes.
constexpr std::time_t kTime = 1700000000;

class CliEndToEnd : public testing::Test {
protected:
    TempDir dir;

    CliResult run(std::vector<std::string> args, const std::string& input = "") {
        return runCli(dir, args, input);
    }

    void file(const std::string& relative, const std::string& bytes, long seconds = 0) {
        dir.writeFile(relative, bytes, kTime + seconds);
    }

    // Every path under one side ("src"), relative to it; files with their contents.
    std::vector<std::string> tree(const std::string& side) const {
        std::vector<std::string> result;
        const std::string prefix = side + "/";
        for (const std::string& path : dir.listTree()) {
            if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string relative = path.substr(prefix.size());
            result.push_back(relative.ends_with("/") ? relative
                                                     : relative + "=" + TempDir::readFile(dir.at(path)));
        }
        return result;
    }

    std::string writeProfile(const std::string& relative, const Profile& profile) {
        std::ofstream out(dir.at(relative), std::ios::binary);
        EXPECT_TRUE(profile.write(out));
        return dir.at(relative);
    }

    std::string writeBatch(const std::string& relative, const std::vector<std::string>& profiles) {
        Batch batch;
        batch.profiles = profiles;
        std::ofstream out(dir.at(relative), std::ios::binary);
        EXPECT_TRUE(batch.write(out));
        return dir.at(relative);
    }

    // A profile from "<name>/one/" to "<name>/two/", without the check-list.
    Profile profileFor(const std::string& name, int autoStart) {
        dir.makeFolder(name + "/one");
        dir.makeFolder(name + "/two");
        Profile profile;
        profile.location1 = dir.at(name + "/one/");
        profile.location2 = dir.at(name + "/two/");
        profile.autoStart = static_cast<AutoStartDirection>(autoStart);
        profile.checkActions = false;
        return profile;
    }
};

TEST_F(CliEndToEnd, OneOffRunMakesTheTargetMatchAndReports) {
    file("src/a.txt", "new a", 3600);
    file("src/sub/b.txt", "b");
    file("dst/a.txt", "old a");
    file("dst/stale.txt", "stale");
    dir.makeFolder("dst/stale-folder/inner");

    // No trailing '/' on either: it is added.
    const CliResult result = run({"--yes", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("dst"), tree("src"));
    EXPECT_EQ(result.out, "Synchronisation done:\n"
                          "Synchronisation source: " +
                              dir.at("src/") +
                              "\n"
                              "Synchronisation target: " +
                              dir.at("dst/") +
                              "\n"
                              "Overwritten files: 1\n"
                              "Added files: 1\n"
                              "Deleted files: 1\n"
                              "Added Folders: 1\n"
                              "Deleted Folders: 2\n");
    EXPECT_EQ(result.err, ""); // no terminal: no progress line

    // A second run has nothing to do.
    const CliResult again = run({dir.at("src/"), dir.at("dst/")});
    EXPECT_EQ(again.status, kExitDone) << again.err;
    EXPECT_NE(again.out.find("Added files: 0\n"), std::string::npos);
}

TEST_F(CliEndToEnd, DryRunPrintsEveryPlannedActionInExecutionOrderAndChangesNothing) {
    file("src/changed.txt", "newer", 3600);
    file("dst/changed.txt", "older");
    file("src/b-new.txt", "b");
    file("src/a-new.txt", "a");
    file("dst/gone.txt", "gone");
    dir.makeFolder("dst/gone-folder/inner");
    file("src/new-folder/x.txt", "x");
    file("src/same.txt", "same");
    file("dst/same.txt", "same");
    std::vector<std::string> before = dir.listTree();
    const std::vector<std::string> targetBefore = tree("dst");

    // Confirmations are asked for, but a dry run asks nothing: it shows what Yes would do.
    const CliResult result = run({"-n", "--confirm-deletes", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    const std::string dst = dir.at("dst/");
    EXPECT_EQ(result.out, "overwrite\t" + dst + "changed.txt\n" + "add\t" + dst + "a-new.txt\n" + "add\t" +
                              dst + "b-new.txt\n" + "delete\t" + dst + "gone.txt\n" + "delete-folder\t" +
                              dst + "gone-folder\n" + "add-folder\t" + dst + "new-folder\n");
    EXPECT_EQ(result.err, "Plan: 1 overwrite, 2 add, 1 delete, 1 delete-folder, 1 add-folder\n");
    EXPECT_EQ(tree("dst"), targetBefore);
    std::vector<std::string> after = dir.listTree();
    std::erase_if(after, [](const std::string& path) { return path.starts_with(".cli-"); });
    std::erase_if(before, [](const std::string& path) { return path.starts_with(".cli-"); });
    EXPECT_EQ(after, before);
}

TEST_F(CliEndToEnd, ProfileRunsInItsAutoStartDirectionUnlessTold) {
    Profile profile = profileFor("p", 2); // Location 2 to Location 1
    const std::string path = writeProfile("p.vmp", profile);
    file("p/two/from-two.txt", "2");
    file("p/one/from-one.txt", "1");

    CliResult result = run({path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/one"), std::vector<std::string>{"from-two.txt=2"});
    EXPECT_NE(result.out.find("Synchronisation source: " + dir.at("p/two/")), std::string::npos);

    file("p/one/later.txt", "l");
    result = run({"--direction=1to2", path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/two"), (std::vector<std::string>{"from-two.txt=2", "later.txt=l"}));

    // No automatic start: Location 1 to 2.
    profile.autoStart = AutoStartDirection::Off;
    writeProfile("p.vmp", profile);
    file("p/one/third.txt", "3");
    result = run({path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/two"), (std::vector<std::string>{"from-two.txt=2", "later.txt=l", "third.txt=3"}));
}

TEST_F(CliEndToEnd, DryRunOfASilentLoggingProfileStillChangesNothing) {
    // Silent mode skips the check-list in a real run; a dry run must stop before execution anyway.
    Profile profile = profileFor("p", 1);
    profile.silentMode = true;
    profile.exitOnCompletion = true;
    profile.logOn = true;
    profile.logPath = dir.at("p.log");
    const std::string path = writeProfile("p.vmp", profile);
    const std::string bytes = TempDir::readFile(path);
    file("p/one/a.txt", "a");
    file("p/two/old.txt", "old");

    const CliResult result = run({"-n", path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(result.out, "add\t" + dir.at("p/two/a.txt") + "\ndelete\t" + dir.at("p/two/old.txt") + "\n");
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{"old.txt=old"});
    EXPECT_FALSE(TempDir::exists(dir.at("p.log")));

    // The real run; "Exit on completion" never makes the command line save the profile.
    EXPECT_EQ(run({path}).status, kExitDone);
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{"a.txt=a"});
    EXPECT_TRUE(TempDir::exists(dir.at("p.log")));
    EXPECT_EQ(TempDir::readFile(path), bytes);
}

TEST_F(CliEndToEnd, ProfileThatAsksWithoutATerminalIsCancelledAndChangesNothing) {
    Profile profile = profileFor("p", 1);
    profile.checkActions = true; // the default of a new profile
    const std::string path = writeProfile("p.vmp", profile);
    file("p/one/a.txt", "a");
    file("p/two/old.txt", "old");

    CliResult result = run({path});
    EXPECT_EQ(result.status, kExitInterrupted);
    EXPECT_NE(result.err.find("--yes"), std::string::npos) << result.err;
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{"old.txt=old"});

    result = run({"--yes", path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{"a.txt=a"});
}

TEST_F(CliEndToEnd, BatchRunsEveryProfileAndCountsASkippedOneAsAProblem) {
    const std::string first = writeProfile("first.vmp", profileFor("first", 1));
    const std::string second = writeProfile("second.vmp", profileFor("second", 2));
    const std::string manual = writeProfile("manual.vmp", profileFor("manual", 0));
    file("first/one/f.txt", "f");
    file("second/two/s.txt", "s");
    file("manual/one/m.txt", "m");

    const std::string good = writeBatch("good.vmb", {first, second});
    CliResult result = run({good});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("first/two"), std::vector<std::string>{"f.txt=f"});
    EXPECT_EQ(tree("second/one"), std::vector<std::string>{"s.txt=s"});

    file("first/one/g.txt", "g");
    const std::string mixed = writeBatch("mixed.vmb", {manual, dir.at("missing.vmp"), first});
    result = run({mixed});
    EXPECT_EQ(result.status, kExitProblems);
    EXPECT_NE(result.err.find("The profile " + manual + "\n must have Auto Start selected"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(tree("manual/two"), std::vector<std::string>{});
    EXPECT_EQ(tree("first/two"), (std::vector<std::string>{"f.txt=f", "g.txt=g"})); // the rest still ran

    // A list that ends without "end_profiles" reads one empty path at the end: it names nothing
    // and is no problem.
    dir.writeFile("open-ended.vmb", "file_type=Velmora_batch\r\nvelmora_version=1.09\r\nprofiles=\r\n" +
                                        first + "\r\n" + second + "\r\n");
    result = run({dir.at("open-ended.vmb")});
    EXPECT_EQ(result.status, kExitDone) << result.err;

    // A dry run of the batch plans each profile and runs none.
    file("first/one/h.txt", "h");
    file("second/two/t.txt", "t");
    result = run({"--dry-run", good});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(result.out,
              "add\t" + dir.at("first/two/h.txt") + "\nadd\t" + dir.at("second/one/t.txt") + "\n");
    EXPECT_EQ(tree("first/two"), (std::vector<std::string>{"f.txt=f", "g.txt=g"}));
}

TEST_F(CliEndToEnd, LogFileHoldsTheRunAndCanBeAppendedTo) {
    file("src/a.txt", "a");
    dir.makeFolder("dst");
    const std::string log = dir.at("run.log");
    CliResult result = run({"--log=" + log, dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    const std::string first = TempDir::readFile(log);
    EXPECT_NE(first.find("Results Summary:"), std::string::npos) << first;
    EXPECT_NE(first.find(dir.at("dst/a.txt")), std::string::npos) << first;

    result = run({"--log=" + log, "--log-append", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    const std::string both = TempDir::readFile(log);
    EXPECT_TRUE(both.starts_with(first));
    EXPECT_GT(both.size(), first.size());

    result = run({"--log=" + log, dir.at("src"), dir.at("dst")}); // without --log-append: replaced
    EXPECT_LT(TempDir::readFile(log).size(), both.size());
}

TEST_F(CliEndToEnd, ReadOnlyTargetsAreProblemsWithAHintOncePerRun) {
    // A read-only target is refused even to root unless --overwrite-read-only is given.
    file("src/locked.txt", "new", 3600);
    file("dst/locked.txt", "old");
    file("src/locked2.txt", "new", 3600);
    file("dst/locked2.txt", "old");
    dir.setMode("dst/locked.txt", 0444);
    dir.setMode("dst/locked2.txt", 0444);
    CliResult result = run({dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitProblems) << result.err;
    EXPECT_TRUE(result.err.starts_with("Some problems were encountered:\n")) << result.err;
    EXPECT_NE(result.err.find("Permission denied"), std::string::npos) << result.err;
    const std::string hint = "--overwrite-read-only allows";
    EXPECT_NE(result.err.find(hint), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(hint), result.err.rfind(hint)) << result.err;
    EXPECT_EQ(result.out.find("problems"), std::string::npos) << result.out;
    EXPECT_EQ(TempDir::readFile(dir.at("dst/locked.txt")), "old");

    result = run({"--overwrite-read-only", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(TempDir::readFile(dir.at("dst/locked.txt")), "new");
}

TEST_F(CliEndToEnd, MissingTargetIsCreatedOneLevelDeep) {
    file("src/a.txt", "a");
    // A dry run says so and plans into it, creating nothing.
    const CliResult dry = run({"-n", dir.at("src"), dir.at("new")});
    EXPECT_EQ(dry.status, kExitDone) << dry.err;
    EXPECT_EQ(dry.out, "add\t" + dir.at("new/a.txt") + "\n");
    EXPECT_NE(dry.err.find("The target folder " + dir.at("new/") + " does not exist: it would be created"),
              std::string::npos)
        << dry.err;
    EXPECT_FALSE(TempDir::exists(dir.at("new")));

    // Made no more open than a private source.
    dir.setMode("src", 0700);
    CliResult result = run({dir.at("src"), dir.at("new")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(result.err, "velmora-cli: Created the target folder " + dir.at("new/") + "\n");
    EXPECT_EQ(tree("new"), std::vector<std::string>{"a.txt=a"});
    struct stat created {};
    EXPECT_EQ(::stat(dir.at("new").c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0700u);

    // Two missing levels: more likely a typing mistake or a disk not mounted.
    result = run({dir.at("src"), dir.at("nowhere/deeper")});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(result.out.starts_with("Synchronisation failed\n")) << result.out;
    EXPECT_NE(result.err.find("Could not access folder: " + dir.at("nowhere/deeper/")), std::string::npos)
        << result.err;
    EXPECT_FALSE(TempDir::exists(dir.at("nowhere")));

    // A profile's missing target is not created: it may be an unmounted disk.
    Profile profile = profileFor("p", 1);
    profile.location2 = dir.at("p/gone/");
    file("p/one/a.txt", "a");
    result = run({writeProfile("p.vmp", profile)});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_FALSE(TempDir::exists(dir.at("p/gone")));
}

TEST_F(CliEndToEnd, DeleteConfirmationWithoutATerminalCancelsWithThree) {
    file("src/a.txt", "a");
    file("dst/keep-me.txt", "k");
    const CliResult result = run({"--confirm-deletes", dir.at("src"), dir.at("dst")}, "y\ny\n");
    EXPECT_EQ(result.status, kExitInterrupted);
    EXPECT_NE(result.err.find("Use --yes"), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.starts_with("Synchronisation interrupted\n")) << result.out;
    EXPECT_EQ(tree("dst"), std::vector<std::string>{"keep-me.txt=k"}); // nothing deleted, nothing added
}

TEST_F(CliEndToEnd, BadUsageExitsWithSixtyFourAndNamesTheOption) {
    const CliResult result = run({"--no-such-option", "a", "b"});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "velmora-cli: unknown option '--no-such-option'\n"
                          "Try 'velmora-cli --help' for more information.\n");
    EXPECT_EQ(run({}).status, kExitUsage);

    const CliResult help = run({"--help"});
    EXPECT_EQ(help.status, kExitDone);
    EXPECT_TRUE(help.out.starts_with("Usage: velmora-cli")) << help.out;
    // The defaults a user relies on, the exclusion rules and where the settings come from.
    for (const char* text : {"120 s", "300 s", "--max-delete", "ASCII case", "folder and below",
                             "$XDG_CONFIG_HOME", "Exit status"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    EXPECT_TRUE(run({"--version"}).out.starts_with("velmora-cli "));
}

TEST_F(CliEndToEnd, FilesThatCannotBeOpenedOrAreNotValidExitWithSixtySix) {
    CliResult result = run({dir.at("missing.vmp")});
    EXPECT_EQ(result.status, kExitNoInput);
    EXPECT_NE(result.err.find("Could not open file: " + dir.at("missing.vmp")), std::string::npos)
        << result.err;

    dir.writeFile("junk.vmp", "this is not a profile\n");
    result = run({dir.at("junk.vmp")});
    EXPECT_EQ(result.status, kExitNoInput);
    EXPECT_NE(result.err.find("is not a valid Velmora profile"), std::string::npos) << result.err;

    dir.writeFile("junk.vmb", "velmora_version=1.09\r\n");
    result = run({dir.at("junk.vmb")});
    EXPECT_EQ(result.status, kExitNoInput);
    EXPECT_NE(result.err.find("is not a valid Velmora batch file"), std::string::npos) << result.err;
}

TEST_F(CliEndToEnd, SavedProfileRunsLikeTheCommandThatSavedIt) {
    file("src/a.txt", "a");
    file("src/scratch.tmp", "t");
    file("dst/extra.txt", "x");
    const std::string saved = dir.at("saved.vmp");
    CliResult result = run({"--no-delete", "--exclude-wildcard=*.tmp", "--exclude=" + dir.at("src/private"),
                            "--save-profile=" + saved, dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("dst"), (std::vector<std::string>{"a.txt=a", "extra.txt=x"}));

    file("src/b.txt", "b");
    file("src/private/secret.txt", "s");
    file("src/more.tmp", "m");
    result = run({saved});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("dst"), (std::vector<std::string>{"a.txt=a", "b.txt=b", "extra.txt=x"}));
}

TEST_F(CliEndToEnd, SettingsAreReadButNeverWritten) {
    // A required time difference of one hour from the settings: a source newer by 30 minutes
    // is not copied.
    const std::string settings = "# Velmora settings: n NAME=NUMBER or s NAME=TEXT, one a line\n"
                                 "n TimeDifference=3600\n";
    dir.writeFile("mine.conf", settings);
    file("src/a.txt", "new", 1800);
    file("dst/a.txt", "old");
    CliResult result = run({"--settings=" + dir.at("mine.conf"), "--yes", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(TempDir::readFile(dir.at("dst/a.txt")), "old");
    EXPECT_EQ(TempDir::readFile(dir.at("mine.conf")), settings);

    result = run({"--settings=" + dir.at("mine.conf"), "--time-difference=60", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(TempDir::readFile(dir.at("dst/a.txt")), "new");
    EXPECT_EQ(TempDir::readFile(dir.at("mine.conf")), settings);

    // A profile run too (opening a file is what the desktop program remembers), and a missing
    // settings file is not created.
    const std::string profile = writeProfile("p.vmp", profileFor("p", 1));
    EXPECT_EQ(run({profile}).status, kExitDone);
    EXPECT_FALSE(TempDir::exists(dir.at("config")));
}

// A settings file named on purpose that cannot be used stops the run: other settings than the
// user set would mislead. The usual file may be missing (a first run); a damaged one is a warning.
TEST_F(CliEndToEnd, SettingsThatCannotBeUsedAreNamedAndAGivenOneStopsTheRun) {
    file("src/a.txt", "a");
    dir.makeFolder("dst");
    dir.makeFolder("a-folder.conf");
    dir.writeFile("notes.conf", "Shopping list\nmilk\n");
    dir.writeFile("damaged.conf", "n TimeDifference=3600\nn CommandTimeout=soon\n");
    struct Case {
        std::string given;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"--settings=" + dir.at("missing.conf"), kExitNoInput,
         "the settings file " + dir.at("missing.conf") +
             " (given by --settings) cannot be used: No such file"},
        {"--settings=" + dir.at("a-folder.conf"), kExitNoInput, "cannot be used: Is a directory"},
        {"--settings=" + dir.at("notes.conf"), kExitNoInput,
         "cannot be used: it is not a Velmora settings file"},
        {"--settings=" + dir.at("damaged.conf"), kExitDone,
         "warning: the settings file " + dir.at("damaged.conf") + ": line 2 cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const CliResult result = run({c.given, "-n", dir.at("src"), dir.at("dst")});
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    // The usual file, damaged: a warning, and the defaults apply.
    dir.makeFolder("config/Larkspire/Velmora.conf");
    const CliResult usual = run({"-n", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(usual.status, kExitDone);
    EXPECT_NE(usual.err.find("warning: the settings file " + dir.at("config/Larkspire/Velmora.conf") +
                             " cannot be used (Is a directory): the default settings apply"),
              std::string::npos)
        << usual.err;
}

TEST_F(CliEndToEnd, ExcludePathsAreTakenAsTheUserMeantThem) {
    file("src/a.txt", "a");
    file("dst/Private/secret.txt", "s");
    file("dst/Keep/k.txt", "k");
    file("dst/gone.txt", "g");
    const std::string plainDeletes = "delete\t" + dir.at("dst/gone.txt") + "\n";
    // From the current folder, tidied, into the target; relative to both roots; from above.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Private"},           {"", "./dst/Private"},    {"", "dst//Private/"},
        {"dst", "../dst/Private"}, {"elsewhere", "Private"},
    };
    dir.makeFolder("elsewhere");
    for (const auto& [from, typed] : cases) {
        const CliResult result = runCli(
            dir,
            {"-n", "--max-delete=9", "--exclude=" + typed, "--exclude=Keep/", dir.at("src"), dir.at("dst")},
            "", dir.at(from));
        EXPECT_EQ(result.status, kExitDone) << typed << ": " << result.err;
        EXPECT_EQ(result.out, "add\t" + dir.at("dst/a.txt") + "\n" + plainDeletes) << typed;
    }

    // Saved as one entry per location; a typed '/' keeps a folder; a place in neither location is
    // a warning, one outside both excludes nothing, the location itself is a usage error.
    const std::string saved = dir.at("saved.vmp");
    CliResult result = runCli(dir,
                              {"--max-delete=9", "--exclude=Keep/", "--exclude=Nothing", "--exclude=/etc/x",
                               "--save-profile=" + saved, "src", "dst"},
                              "", dir.at(""));
    EXPECT_EQ(result.status, kExitDone) << result.err;
    const std::string profile = TempDir::readFile(saved);
    for (const char* entry : {"dst/Keep/", "src/Keep/", "dst/Nothing", "src/Nothing"})
        EXPECT_NE(profile.find("\r\n" + dir.at(entry) + "\r\n"), std::string::npos) << entry << profile;
    EXPECT_EQ(profile.find("/etc/x"), std::string::npos);
    EXPECT_NE(result.err.find("warning: --exclude=Nothing is in neither location"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("warning: --exclude=/etc/x lies outside both locations"), std::string::npos);
    EXPECT_EQ(tree("dst"), (std::vector<std::string>{"Keep/", "Keep/k.txt=k", "a.txt=a"}));
    EXPECT_EQ(runCli(dir, {"--exclude=dst", "src", "dst"}, "", dir.at("")).status, kExitUsage);
}

TEST_F(CliEndToEnd, MassDeletesAreRefusedBeforeAnythingChanges) {
    // The target holds a.txt, photos/ with 20 files and old.txt: 22 removals when a.txt stays.
    const auto fill = [this](const std::string& side) {
        file(side + "/a.txt", "a");
        file(side + "/old.txt", "old");
        for (int i = 0; i < 20; ++i)
            file(side + "/photos/p" + std::to_string(i), "p");
    };
    struct Case {
        const char* name;
        bool emptySource;
        std::vector<std::string> options;
        int status;
        const char* says; // on stderr
    };
    const Case cases[] = {
        {"what a deleted folder holds counts",
         false,
         {"--max-delete=5"},
         kExitFailed,
         "refused: the plan would delete 22 files and folders, more than --max-delete=5 allows"},
        {"a limit that covers it", false, {"--max-delete=22"}, kExitDone, ""},
        {"an empty source is refused",
         true,
         {},
         kExitFailed,
         "refused: the source folder is empty but the plan would delete 23 files and folders"},
        {"whatever the limit says", true, {"--max-delete=1000"}, kExitFailed, "give --allow-empty-source"},
        {"unless it is allowed", true, {"--allow-empty-source"}, kExitDone, ""},
        {"and the limit still holds then",
         true,
         {"--allow-empty-source", "--max-delete=3"},
         kExitFailed,
         "more than --max-delete=3 allows"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = "case" + std::to_string(number) + "/src";
        const std::string target = "case" + std::to_string(number++) + "/dst";
        dir.makeFolder(source);
        fill(target);
        if (!c.emptySource)
            file(source + "/a.txt", "a");
        const std::vector<std::string> before = tree(target);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"--yes", "-q", dir.at(source), dir.at(target)});
        const CliResult result = run(args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(tree(target), c.status == kExitFailed ? before : tree(source));
    }

    // The same through a profile, a batch and a dry run of the profile.
    const Profile emptying = profileFor("p", 1);
    file("p/two/x.txt", "x");
    const std::string path = writeProfile("p.vmp", emptying);
    const std::string batch = writeBatch("b.vmb", {path});
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {path}, {"--max-delete=200", batch}, {"-n", path}, {"-q", "--max-delete=200", batch}}) {
        EXPECT_EQ(run(args).status, kExitFailed) << args.back();
        EXPECT_EQ(tree("p/two"), std::vector<std::string>{"x.txt=x"});
    }
    EXPECT_EQ(run({"--allow-empty-source", batch}).status, kExitDone);
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{});
}

// A user's files named like this program's temporary files are the user's: a dry run changes
// nothing at all, a run without deletes keeps them, and neither hides them.
TEST_F(CliEndToEnd, ADryRunChangesNothingAndFilesThatLookLikeTemporariesAreTheUsers) {
    file("src/a.txt", "a", 3600);
    file("dst/a.txt", "old");
    file("dst/.notes.velmora-a1b2c3", "mine");
    file("dst/.data.velmora-zz9Qx1", "mine too");
    const std::vector<std::string> before = tree("dst");

    CliResult result = run({"-n", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("dst"), before);
    EXPECT_NE(result.out.find("delete\t" + dir.at("dst/.notes.velmora-a1b2c3")), std::string::npos)
        << result.out;

    result = run({"--no-delete", "-v", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("dst"), (std::vector<std::string>{".data.velmora-zz9Qx1=mine too",
                                                     ".notes.velmora-a1b2c3=mine", "a.txt=a"}));
    EXPECT_EQ(result.out.find("remove-leftover"), std::string::npos) << result.out;
}

// However a location is spelt, it is one place: an exclusion given by the plain path holds for
// it, on the command line and in a profile saved from it.
TEST_F(CliEndToEnd, ExclusionsHoldForLocationsInAnySpelling) {
    const std::vector<std::pair<std::string, std::string>> spellings = {
        {"./s", "./t"}, {"s/.", "t/."}, {"x/../s", "x/../t"}, {dir.at("./s"), dir.at("x/../t")}};
    dir.makeFolder("x");
    for (const auto& [source, target] : spellings) {
        SCOPED_TRACE(source + " " + target);
        file("s/keep", "new", 3600);
        file("s/other", "other");
        file("t/keep", "old");
        file("t/private", "private");
        const std::vector<std::string> excludes = {"--exclude=" + dir.at("t/keep"),
                                                   "--exclude=" + dir.at("t/private")};
        std::vector<std::string> args = excludes;
        args.insert(args.end(), {"--yes", "--save-profile=" + dir.at("saved.vmp"), source, target});
        const CliResult result = runCli(dir, args, "", dir.path());
        EXPECT_EQ(result.status, kExitDone) << result.err;
        EXPECT_EQ(tree("t"), (std::vector<std::string>{"keep=old", "other=other", "private=private"}));

        const std::string saved = TempDir::readFile(dir.at("saved.vmp"));
        EXPECT_NE(saved.find("location1=" + dir.at("s/") + "\r\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("location2=" + dir.at("t/") + "\r\n"), std::string::npos) << saved;
        file("s/keep", "newer", 7200);
        EXPECT_EQ(run({"--yes", dir.at("saved.vmp")}).status, kExitDone);
        EXPECT_EQ(TempDir::readFile(dir.at("t/keep")), "old");
        EXPECT_TRUE(TempDir::exists(dir.at("t/private")));
    }
}

TEST_F(CliEndToEnd, ErrorsGoToStderrOnceWhateverTheMode) {
    // A silent profile without automatic start in a batch: said once, in every mode, with the
    // option that sets automatic start.
    Profile manual = profileFor("m", 0);
    manual.silentMode = true;
    const std::string batch = writeBatch("b.vmb", {writeProfile("m.vmp", manual)});
    const std::string message = "must have Auto Start selected";
    for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"-q"}, {"-n"}, {"-n", "-q"}}) {
        std::vector<std::string> args = mode;
        args.push_back(batch);
        const CliResult result = run(args);
        EXPECT_EQ(result.status, kExitProblems);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find(message), result.err.rfind(message)) << result.err;
        EXPECT_NE(result.err.find("--auto-start=1to2"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }

    // --quiet: no summary, but the failure still said; the summary of a failed run stays on stdout.
    file("src/a.txt", "a");
    CliResult result = run({"-q", dir.at("src"), dir.at("none/deeper")});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Could not access folder"), std::string::npos);
    result = run({"-n", dir.at("src"), dir.at("none/deeper")});
    EXPECT_TRUE(result.out.starts_with("Synchronisation failed\n")) << result.out;
    EXPECT_EQ(result.err.find("Synchronisation failed"), std::string::npos) << result.err;
}

TEST_F(CliEndToEnd, LogThatCannotBeOpenedStopsTheRunWithSixtySix) {
    file("src/a.txt", "a");
    file("dst/old.txt", "o");
    CliResult result = run({"--log=" + dir.at("no/such/x.log"), dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitNoInput);
    EXPECT_NE(result.err.find("Could not open log file: " + dir.at("no/such/x.log") + "\nNo such file"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(tree("dst"), std::vector<std::string>{"old.txt=o"});

    Profile logging = profileFor("p", 1);
    logging.logOn = true;
    logging.logPath = dir.at("no/such/p.log");
    file("p/one/a.txt", "a");
    EXPECT_EQ(run({writeProfile("p.vmp", logging)}).status, kExitNoInput);
    EXPECT_EQ(tree("p/two"), std::vector<std::string>{});
}

TEST_F(CliEndToEnd, DryRunKeepsEachActionOnOneLineAndWritesNothing) {
    file("src/two\nlines.txt", "a");
    file("src/tab\there.txt", "b");
    dir.makeFolder("dst");
    CliResult result = run({"-n", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(result.out,
              "add\t" + dir.at("dst/tab\\there.txt") + "\nadd\t" + dir.at("dst/two\\nlines.txt") + "\n");
    EXPECT_EQ(result.err, "Plan: 2 add\n");
    EXPECT_EQ(run({"-n", "-q", dir.at("src"), dir.at("dst")}).err, "");

    file("dst/tab\there.txt", "b");
    file("dst/two\nlines.txt", "a");
    EXPECT_EQ(run({"-n", dir.at("src"), dir.at("dst")}).err, "Plan: nothing to do\n");

    result = run({"-n", "--save-profile=" + dir.at("p.vmp"), dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_FALSE(TempDir::exists(dir.at("p.vmp")));
}

TEST_F(CliEndToEnd, VerboseListsEachActionAsCarriedOutAndMarksFailures) {
    file("src/new.txt", "n");
    file("src/locked.txt", "new", 3600);
    file("dst/locked.txt", "old");
    dir.setMode("dst/locked.txt", 0444);
    file("dst/gone/inner.txt", "g");
    file("src/folder/f.txt", "f");
    const CliResult result = run({"-v", "-q", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitProblems);
    EXPECT_EQ(result.out, "overwrite\t" + dir.at("dst/locked.txt") + "\tFAILED\n" + //
                              "add\t" + dir.at("dst/new.txt") + "\n" +              //
                              "delete\t" + dir.at("dst/gone/inner.txt") + "\n" +    //
                              "delete-folder\t" + dir.at("dst/gone") + "\n" +       //
                              "add-folder\t" + dir.at("dst/folder") + "\n" +        //
                              "add\t" + dir.at("dst/folder/f.txt") + "\n");
}

TEST_F(CliEndToEnd, SavedProfileWithAutoStartRunsInABatch) {
    file("src/a.txt", "a");
    dir.makeFolder("dst");
    const std::string saved = dir.at("saved.vmp");
    EXPECT_EQ(run({"--auto-start=1to2", dir.at("src"), dir.at("dst")}).status, kExitUsage);
    EXPECT_EQ(run({"--auto-start=sideways", "--save-profile=" + saved, dir.at("src"), dir.at("dst")}).status,
              kExitUsage);
    CliResult result = run({"--auto-start=2to1", "--save-profile=" + saved, dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_NE(TempDir::readFile(saved).find("\r\nauto_start=2\r\n"), std::string::npos);

    // In a batch it runs in its saved direction: from the target back to the source.
    file("dst/b.txt", "b");
    result = run({writeBatch("b.vmb", {saved})});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("src"), (std::vector<std::string>{"a.txt=a", "b.txt=b"}));
}

} // namespace
} // namespace velmora::cli::test
