// The built velmora-cli run on real temporary trees.
#include "CliProcess.h"
#include "cli/ExitStatus.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

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
        profile.autoStart = autoStart;
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
    EXPECT_EQ(result.err, "");
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

    CliResult result = run({"-q", path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/one"), std::vector<std::string>{"from-two.txt=2"});
    EXPECT_NE(result.out.find("Synchronisation source: " + dir.at("p/two/")), std::string::npos);

    file("p/one/later.txt", "l");
    result = run({"--direction=1to2", path});
    EXPECT_EQ(result.status, kExitDone) << result.err;
    EXPECT_EQ(tree("p/two"), (std::vector<std::string>{"from-two.txt=2", "later.txt=l"}));

    // No automatic start: Location 1 to 2.
    profile.autoStart = 0;
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
    profile.logFileOn = true;
    profile.logFilePath = dir.at("p.log");
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

TEST_F(CliEndToEnd, ProblemsExitWithOne) {
    // A read-only target is refused even to root unless --overwrite-read-only is given.
    file("src/locked.txt", "new", 3600);
    file("dst/locked.txt", "old");
    dir.setMode("dst/locked.txt", 0444);
    CliResult result = run({dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitProblems) << result.err;
    EXPECT_NE(result.out.find("Some problems were encountered:\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Permission denied"), std::string::npos) << result.out;
    EXPECT_EQ(TempDir::readFile(dir.at("dst/locked.txt")), "old");

    result = run({"--overwrite-read-only", dir.at("src"), dir.at("dst")});
    EXPECT_EQ(result.status, kExitDone) << result.out;
    EXPECT_EQ(TempDir::readFile(dir.at("dst/locked.txt")), "new");
}

TEST_F(CliEndToEnd, MissingTargetFailsTheAnalysisWithTwo) {
    file("src/a.txt", "a");
    const CliResult result = run({dir.at("src"), dir.at("nowhere")});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(result.out.starts_with("Synchronisation failed\n")) << result.out;
    EXPECT_NE(result.out.find("Could not access folder: " + dir.at("nowhere/")), std::string::npos)
        << result.out;
    EXPECT_FALSE(TempDir::exists(dir.at("nowhere")));

    // A dry run keeps stdout for the plan: the failure goes to stderr.
    const CliResult dry = run({"-n", dir.at("src"), dir.at("nowhere")});
    EXPECT_EQ(dry.status, kExitFailed);
    EXPECT_EQ(dry.out, "");
    EXPECT_TRUE(dry.err.starts_with("Synchronisation failed\n")) << dry.err;
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
    EXPECT_FALSE(TempDir::exists(dir.at("settings.conf")));
}

} // namespace
} // namespace velmora::cli::test
