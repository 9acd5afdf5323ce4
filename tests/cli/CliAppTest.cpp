// The command line in-process: a terminal played by string streams, and Ctrl-C.
#include "cli/CliApp.h"

#include "cli/ExitStatus.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using velmora::test::TempDir;

constexpr std::time_t kTime = 1700000000;

struct InProcess {
    TempDir dir;
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    std::atomic<int>* armed = nullptr;
    std::vector<bool> armings; // true: a flag was handed over; false: taken back
    int sendSignal = 0;        // a stop signal that arrives as soon as runs may go on

    int run(std::vector<std::string> args, std::string typed = {}, bool terminal = true) {
        in.str(std::move(typed));
        out.str({});
        err.str({});
        CliEnvironment environment{
            in, out, err, terminal, false, 80, dir.at("settings.conf"), [this](std::atomic<int>* flag) {
                armed = flag;
                armings.push_back(flag != nullptr);
                if (flag && sendSignal != 0)
                    flag->store(sendSignal);
            }};
        return CliApp(environment).run(args);
    }

    void file(const std::string& relative, const std::string& bytes, long seconds = 0) {
        dir.writeFile(relative, bytes, kTime + seconds);
    }
    bool exists(const std::string& relative) const { return TempDir::exists(dir.at(relative)); }
};

TEST(CliApp, DeletesAreConfirmedOnTheTerminal) {
    InProcess cli;
    cli.file("src/a.txt", "a");
    cli.file("dst/keep.txt", "k");
    cli.file("dst/drop.txt", "d");
    // Files in name order: drop.txt, then keep.txt.
    EXPECT_EQ(cli.run({"--confirm-deletes", cli.dir.at("src"), cli.dir.at("dst")}, "y\nn\n"), kExitDone)
        << cli.err.str();
    EXPECT_FALSE(cli.exists("dst/drop.txt"));
    EXPECT_TRUE(cli.exists("dst/keep.txt"));
    EXPECT_TRUE(cli.exists("dst/a.txt"));
    EXPECT_NE(cli.err.str().find("Delete File: Delete file: " + cli.dir.at("dst/drop.txt")),
              std::string::npos);

    // Cancel ends the run before anything is done.
    cli.file("src/b.txt", "b");
    EXPECT_EQ(cli.run({"--confirm-deletes", cli.dir.at("src"), cli.dir.at("dst")}, "c\n"), kExitInterrupted);
    EXPECT_TRUE(cli.exists("dst/keep.txt"));
    EXPECT_FALSE(cli.exists("dst/b.txt"));
    EXPECT_TRUE(cli.out.str().starts_with("Synchronisation interrupted\n")) << cli.out.str();
}

TEST(CliApp, CheckListOnTheTerminal) {
    InProcess cli;
    cli.file("src/a.txt", "a");
    cli.file("src/b.txt", "b");
    cli.dir.makeFolder("dst");
    EXPECT_EQ(cli.run({"--check", cli.dir.at("src"), cli.dir.at("dst")}, "c\n"), kExitInterrupted);
    EXPECT_FALSE(cli.exists("dst/a.txt"));
    EXPECT_NE(cli.err.str().find("cancelled: nothing was changed"), std::string::npos) << cli.err.str();
    EXPECT_EQ(cli.out.str(), ""); // a cancelled check-list has no report

    EXPECT_EQ(cli.run({"--check", cli.dir.at("src"), cli.dir.at("dst")}, "1\ny\n"), kExitDone);
    EXPECT_FALSE(cli.exists("dst/a.txt"));
    EXPECT_TRUE(cli.exists("dst/b.txt"));
}

TEST(CliApp, CtrlCStopsTheRun) {
    InProcess cli;
    cli.file("src/a.txt", "a");
    cli.dir.makeFolder("dst");
    cli.sendSignal = SIGINT;
    EXPECT_EQ(cli.run({cli.dir.at("src"), cli.dir.at("dst")}), kExitInterrupted);
    EXPECT_TRUE(cli.out.str().starts_with("Synchronisation interrupted\n")) << cli.out.str();
    EXPECT_FALSE(cli.exists("dst/a.txt"));
    // Handed over for the run and taken back afterwards, so a later Ctrl-C ends the program.
    EXPECT_EQ(cli.armings, (std::vector<bool>{true, false}));
    EXPECT_EQ(cli.armed, nullptr);
}

TEST(CliApp, SaveProfileThatCannotBeWrittenRunsNothing) {
    InProcess cli;
    cli.file("src/a.txt", "a");
    cli.dir.makeFolder("dst");
    EXPECT_EQ(cli.run({"--save-profile=" + cli.dir.at("no/such/folder/p.vmp"), cli.dir.at("src"),
                       cli.dir.at("dst")}),
              kExitNoInput);
    EXPECT_NE(cli.err.str().find(cli.dir.at("no/such/folder/p.vmp")), std::string::npos) << cli.err.str();
    EXPECT_FALSE(cli.exists("dst/a.txt"));
}

TEST(CliApp, DryRunReportsProblemsItMetWhilePlanning) {
    InProcess cli;
    cli.file("src/a.txt", "a");
    cli.file("src/sub/b.txt", "b");
    cli.dir.makeFolder("dst/sub");
    cli.dir.setMode("dst/sub", 0); // a sub-folder that cannot be read: the rest is still planned
    cli.dir.openToEveryone();
    // Root reads any folder, so the run drops root when it has it.
    const auto body = [&cli] {
        const int status = cli.run({"-n", cli.dir.at("src"), cli.dir.at("dst")});
        const bool planned = cli.out.str() == "add\t" + cli.dir.at("dst/a.txt") + "\n";
        const bool told =
            cli.err.str().find("Could not read folder: " + cli.dir.at("dst/sub/")) != std::string::npos;
        return status + (planned ? 1000 : 0) + (told ? 10000 : 0);
    };
    int result = 0;
    if (velmora::test::canDropPrivileges()) {
        const velmora::test::UnprivilegedResult child = velmora::test::runUnprivileged(body);
        ASSERT_TRUE(child.ran) << child.problem;
        result = child.value;
    } else {
        result = body();
    }
    EXPECT_EQ(result, 11000 + kExitProblems);
}

} // namespace
} // namespace velmora::cli
