#include "cli/TerminalFrontEnd.h"

#include "engine/SyncResults.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

// A front end on string streams with a clock the test moves.
struct Terminal {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    std::uint64_t now = 1000;

    explicit Terminal(std::string typed = {}) : in(std::move(typed)) {}

    TerminalFrontEnd make(AnswerMode mode, bool inIsTerminal = true, bool errIsTerminal = true) {
        return TerminalFrontEnd({in, out, err, inIsTerminal, errIsTerminal, 80}, mode,
                                [this] { return now; });
    }
};

CheckListSets someSets() {
    CheckListSets sets;
    sets.filesToOverwrite = {makeItem("/t/changed.txt")};
    sets.filesToAdd = {makeItem("/t/new1.txt"), makeItem("/t/new2.txt")};
    sets.filesToDelete = {makeItem("/t/old.txt")};
    sets.foldersToAdd = {makeItem("/t/newdir")};
    sets.foldersToDelete = {makeItem("/t/olddir")};
    return sets;
}

ProgressView view(std::string activity, std::string percent = {}) {
    ProgressView v;
    v.phase = activity.starts_with("Estimating") ? "" : "Execution";
    v.activity = std::move(activity);
    v.percentText = std::move(percent);
    return v;
}

TEST(TerminalFrontEnd, ProgressIsRedrawnInPlaceAtMostEveryHundredMilliseconds) {
    Terminal t;
    TerminalFrontEnd fe = t.make({});
    fe.progress(view("Copying a", "10"));
    t.now += 50;
    fe.progress(view("Copying b", "20"));
    fe.pump();
    EXPECT_EQ(t.err.str(), "\rExecution  10%  Copying a\x1b[K");
    t.now += 50;
    fe.pump(); // the newest view, once
    fe.pump();
    EXPECT_EQ(t.err.str(), "\rExecution  10%  Copying a\x1b[K\rExecution  20%  Copying b\x1b[K");
    fe.runningChanged(RunningState::Idle); // the end of a run clears the line for the report
    EXPECT_TRUE(t.err.str().ends_with("\r\x1b[K"));
    EXPECT_EQ(t.out.str(), "");
}

TEST(TerminalFrontEnd, NoProgressWhenQuietOrNotATerminal) {
    for (const bool quiet : {true, false}) {
        Terminal t;
        TerminalFrontEnd fe = t.make({.quiet = quiet}, true, /*errIsTerminal=*/quiet);
        fe.progress(view("Copying a"));
        t.now += 500;
        fe.pump();
        fe.runningChanged(RunningState::Idle);
        EXPECT_EQ(t.err.str(), "");
    }
}

TEST(TerminalFrontEnd, LongActivityKeepsTheEndOfThePathWithinTheWidth) {
    Terminal t;
    TerminalFrontEnd fe = t.make({});
    fe.progress(view("Copying file: /" + std::string(200, 'x') + "/last-name.txt"));
    const std::string line = t.err.str().substr(1, t.err.str().size() - 4);
    EXPECT_LT(line.size(), 80u);
    EXPECT_TRUE(line.ends_with("x/last-name.txt")) << line;
    EXPECT_NE(line.find("..."), std::string::npos);
}

TEST(TerminalFrontEnd, AStopSignalPressesStopAtTheNextPump) {
    Terminal t;
    TerminalFrontEnd fe = t.make({});
    std::atomic<int> interrupt{0};
    std::vector<int> stops;
    fe.setStopButton(&interrupt, [&stops](int signal) { stops.push_back(signal); });
    fe.pump();
    EXPECT_TRUE(stops.empty());
    interrupt = SIGTERM;
    fe.pump();
    EXPECT_EQ(stops, std::vector<int>{SIGTERM});
}

TEST(TerminalFrontEnd, WithoutATerminalQuestionsAreRefusedAsCancel) {
    Terminal t("y\ny\n"); // typed input that is not a terminal is never taken for an answer
    TerminalFrontEnd fe = t.make({}, /*inIsTerminal=*/false);
    EXPECT_EQ(fe.confirmDelete("Delete File", {"Delete file: /t/a", "", "", ""}), DeleteAnswer::Cancel);
    EXPECT_NE(t.err.str().find("Delete File: Delete file: /t/a"), std::string::npos);
    EXPECT_NE(t.err.str().find("Use --yes"), std::string::npos);
    EXPECT_TRUE(fe.takeRefusal());
    EXPECT_FALSE(fe.takeRefusal());

    CheckListSets sets = someSets();
    EXPECT_FALSE(fe.checkList(sets));
    EXPECT_TRUE(fe.takeRefusal());
    EXPECT_FALSE(fe.question("Do you wish to save your changes?"));

    CheckListSets nothing; // nothing to check: nothing to refuse
    EXPECT_TRUE(fe.checkList(nothing));
    EXPECT_FALSE(fe.takeRefusal());
}

TEST(TerminalFrontEnd, YesAnswersEverything) {
    Terminal t;
    TerminalFrontEnd fe = t.make({.yes = true}, /*inIsTerminal=*/false);
    EXPECT_EQ(fe.confirmDelete("Delete File", {"Delete file: /t/a", "", "", ""}), DeleteAnswer::YesToAll);
    CheckListSets sets = someSets();
    EXPECT_TRUE(fe.checkList(sets));
    EXPECT_EQ(sets.filesToAdd.size(), 2u);
    EXPECT_TRUE(fe.question("Sure?"));
    EXPECT_FALSE(fe.takeRefusal());
}

TEST(TerminalFrontEnd, DeleteConfirmationOnTheTerminal) {
    Terminal t("maybe\na\nn\ns\nc\ny\n");
    TerminalFrontEnd fe = t.make({});
    const std::array<std::string, 4> lines{"Delete file: /t/a", "", "", ""};
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::YesToAll); // asked again after "maybe"
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::No);
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::NoToAll);
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::Cancel);
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::Yes);
    EXPECT_EQ(fe.confirmDelete("Delete File", lines), DeleteAnswer::Cancel); // end of input
}

TEST(TerminalFrontEnd, CheckListOnTheTerminalLeavesOutNumberedEntries) {
    Terminal t("9\n2 4-5\ny\n");
    TerminalFrontEnd fe = t.make({});
    CheckListSets sets = someSets();
    EXPECT_TRUE(fe.checkList(sets));
    // Numbered in execution order: changed, new1, new2, old, olddir, newdir.
    EXPECT_EQ(TerminalFrontEnd::planText(sets), "overwrite\t/t/changed.txt\n"
                                                "add\t/t/new2.txt\n"
                                                "add-folder\t/t/newdir\n");
    EXPECT_NE(t.err.str().find("Not understood: 9"), std::string::npos);

    Terminal cancel("c\n");
    TerminalFrontEnd fe2 = cancel.make({});
    CheckListSets more = someSets();
    EXPECT_FALSE(fe2.checkList(more));
}

TEST(TerminalFrontEnd, DryRunPrintsThePlanInExecutionOrder) {
    Terminal t;
    TerminalFrontEnd fe = t.make({.dryRun = true}, /*inIsTerminal=*/false);
    CheckListSets sets = someSets();
    fe.showPlan(sets);
    EXPECT_EQ(t.out.str(), "overwrite\t/t/changed.txt\n"
                           "add\t/t/new1.txt\n"
                           "add\t/t/new2.txt\n"
                           "delete\t/t/old.txt\n"
                           "delete-folder\t/t/olddir\n"
                           "add-folder\t/t/newdir\n");
    EXPECT_EQ(t.err.str(), "Plan: 1 overwrite, 2 add, 1 delete, 1 delete-folder, 1 add-folder\n");
    EXPECT_FALSE(fe.takeRefusal());
}

TEST(TerminalFrontEnd, AReportWhoseStandardOutputIsGoneGoesToStandardError) {
    Terminal t;
    TerminalFrontEnd fe = t.make({});
    t.out.setstate(std::ios::badbit); // a reader that went away, a closed terminal
    SyncResults results;
    results.lastHeadline = "Synchronisation interrupted\n";
    results.lastSource = "/s/";
    results.lastTarget = "/t/";
    fe.report(results);
    EXPECT_EQ(t.err.str().rfind("Synchronisation interrupted\nSynchronisation source: /s/\n", 0), 0u)
        << t.err.str();
}

TEST(TerminalFrontEnd, ReportSendsTheSummaryToStdoutUnlessQuietAndProblemsToStderrAlways) {
    for (const bool quiet : {false, true}) {
        Terminal t;
        TerminalFrontEnd fe = t.make({.quiet = quiet});
        fe.setReadOnlyHint([](const std::string& path) { return path == "/t/locked"; }, "use the option");
        SyncResults results;
        results.lastHeadline = "Synchronisation done:\n";
        results.lastSource = "/s/";
        results.lastTarget = "/t/";
        results.counts = {1, 2, 3, 4, 5};
        results.addProblem("CSynchroniserDlg::processFiles (add): Could not copy file: /t/a",
                           "Permission denied");
        for (const char* path : {"/t/locked", "/t/other"})
            results.failedOverwritten.insert(makeItem(path));
        fe.report(results);
        EXPECT_EQ(t.out.str(), quiet ? ""
                                     : "Synchronisation done:\n"
                                       "Synchronisation source: /s/\n"
                                       "Synchronisation target: /t/\n"
                                       "Overwritten files: 1\n"
                                       "Added files: 2\n"
                                       "Deleted files: 4\n"
                                       "Added Folders: 3\n"
                                       "Deleted Folders: 5\n");
        // The hint comes once, however many read-only files failed.
        EXPECT_EQ(t.err.str(), "Some problems were encountered:\n"
                               "  CSynchroniserDlg::processFiles (add): Could not copy file: /t/a\n"
                               "  Permission denied\n"
                               "velmora-cli: use the option\n");
    }
}

TEST(TerminalFrontEnd, PathsAreEscapedOntoOneLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/t/plain name", "/t/plain name"},
        {"/t/two\nlines", "/t/two\\nlines"},
        {"/t/tab\there", "/t/tab\\there"},
        {"/t/back\\slash", "/t/back\\\\slash"},
        {"/t/cr\r\x1b\x7f", "/t/cr\\r\\x1b\\x7f"},
        {"/t/caf\xc3\xa9", "/t/caf\xc3\xa9"}, // bytes of other scripts pass as they are
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(TerminalFrontEnd::escaped(path), shown);
}

} // namespace
} // namespace velmora::cli
