#include "engine/RunLog.h"

#include "engine/ErrorReporter.h"
#include "engine/LastReason.h"
#include "engine/SyncResults.h"
#include "profiles/Profile.h"
#include "support/FakeFrontEnd.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace velmora {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

platform::LocalTime fixedTime() {
    return {2008, 12, 7, 14, 5, 9};
}

// The start of a run's log for the profile of the description's example, line by line.
std::vector<std::string> expectedStart(const std::string& timestamp) {
    const std::string equals(50, '=');
    const std::string dashes(30, '-');
    return {"",
            "",
            equals,
            equals,
            "",
            "Synchronisation started at:",
            timestamp,
            "",
            dashes,
            "",
            "Profile: /home/ann/work.vmp",
            "Source: /home/ann/work/",
            "Dest: /mnt/server/backup/work/",
            "",
            dashes,
            "",
            "Options",
            "",
            "Delete files: on",
            "Add files: on",
            "Confirm deletes: off",
            "Check actions: off",
            "Check sub-folders: on",
            "Overwrite read only: off",
            "Exit on completion: on",
            "Silent mode: on",
            "Auto start: Location 1 to Location 2",
            "Compare on: time",
            "Time adjustment: -1Hrs 0Mins",
            "",
            "",
            dashes,
            "",
            "Errors",
            ""};
}

class RunLogTest : public testing::Test {
protected:
    RunLogTest() {
        profile.checkActions = false;
        profile.silentMode = true;
        profile.exitOnCompletion = true;
        profile.autoStart = AutoStartDirection::OneToTwo;
        profile.adjustHours = -1;
        profile.logOn = true;
        profile.logPath = dir.at("run.log");
    }

    bool start() {
        return startRunLog(log, reporter, profile, "/home/ann/work/", "/mnt/server/backup/work/",
                           "/home/ann/work.vmp");
    }

    test::TempDir dir;
    Profile profile;
    test::FakeFrontEnd frontEnd;
    LastReason reason;
    RunLog log{fixedTime};
    ErrorReporter reporter{frontEnd, log, reason};
};

TEST_F(RunLogTest, StartOfAppendingLogKeepsEarlierRuns) {
    profile.logAppend = true;
    ASSERT_TRUE(start());
    log.close();
    ASSERT_TRUE(start());
    log.close();
    std::vector<std::string> expected = expectedStart("Sun 07 December 2008 14:05:09");
    for (const std::string& line : expectedStart("Sun 07 December 2008 14:05:09"))
        expected.push_back(line);
    EXPECT_EQ(linesOf(test::TempDir::readFile(profile.logPath)), expected);
}

TEST_F(RunLogTest, StartOfOverwritingLogHoldsOnlyTheLastRun) {
    dir.writeFile("run.log", "an older log\n");
    ASSERT_TRUE(start());
    log.close();
    ASSERT_TRUE(start());
    log.close();
    EXPECT_EQ(linesOf(test::TempDir::readFile(profile.logPath)),
              expectedStart("Sun 07 December 2008 14:05:09"));
}

TEST_F(RunLogTest, HeaderCarriesTodaysLocalDateAndTime) {
    RunLog realLog;
    ErrorReporter realReporter(frontEnd, realLog, reason);
    ASSERT_TRUE(startRunLog(realLog, realReporter, profile, "/a/", "/b/", ""));
    realLog.close();
    const std::vector<std::string> lines = linesOf(test::TempDir::readFile(profile.logPath));
    ASSERT_GT(lines.size(), 10u);
    const platform::LocalTime now = platform::localNow();
    DateValue date;
    date.set(now.day, now.month, now.year);
    const std::string today = date.format(0x60A);
    EXPECT_EQ(lines[6].substr(0, today.size()), today);
    EXPECT_TRUE(
        std::regex_match(lines[6].substr(today.size()), std::regex(" [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")))
        << lines[6];
    EXPECT_EQ(lines[10], "Profile: ");
}

TEST_F(RunLogTest, LogInMissingFolderIsReportedWithReasonAndRunGoesOn) {
    profile.logPath = dir.at("no/such/folder/run.log");
    EXPECT_FALSE(start());
    EXPECT_FALSE(log.isOpen());
    ASSERT_EQ(frontEnd.messages.size(), 1u);
    EXPECT_EQ(frontEnd.messages[0],
              "Could not open log file: " + profile.logPath + "\nNo such file or directory");
    log.write("ignored");
    log.sectionHeading("ignored");

    reporter.setSilent(true);
    EXPECT_FALSE(start());
    EXPECT_EQ(frontEnd.messages.size(), 1u);
}

TEST_F(RunLogTest, ALogPathNamingAFifoIsRefusedAtOnceAndTheRunGoesOnWithoutIt) {
    profile.logPath = dir.at("fifo");
    ASSERT_EQ(::mkfifo(profile.logPath.c_str(), 0600), 0);
    EXPECT_FALSE(start()); // would block for ever, had it waited for a reader
    EXPECT_FALSE(log.isOpen());
    ASSERT_EQ(frontEnd.messages.size(), 1u);
    EXPECT_EQ(frontEnd.messages[0], "Could not open log file: " + profile.logPath + "\nNot a regular file");
}

TEST_F(RunLogTest, NothingHappensWhenTheProfileWantsNoLog) {
    profile.logOn = false;
    EXPECT_FALSE(start());
    EXPECT_FALSE(test::TempDir::exists(profile.logPath));
    EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(RunLogTest, OptionsBlockNamesEveryModeAndSign) {
    dir.writeFile("run.log", "");
    ASSERT_TRUE(log.open(profile.logPath, true));
    const std::size_t headerSize = test::TempDir::readFile(profile.logPath).size();
    Profile other;
    other.autoStart = AutoStartDirection::TwoToOne;
    other.compareOnTime = false;
    other.adjustHours = 0;
    other.adjustMinutes = -30;
    log.writeOptions(other);
    other.autoStart = static_cast<AutoStartDirection>(7);
    log.writeOptions(other);
    log.close();
    const std::string text = test::TempDir::readFile(profile.logPath).substr(headerSize);
    EXPECT_NE(
        text.find(
            "Auto start: Location 2 to Location 1\nCompare on: file size\nTime adjustment: 0Hrs -30Mins\n"),
        std::string::npos);
    EXPECT_NE(text.find("Auto start: off\n"), std::string::npos);
}

TEST_F(RunLogTest, ResultsSectionListsSummaryProblemsAndNonEmptySets) {
    ASSERT_TRUE(log.open(profile.logPath, false));
    const std::size_t headerSize = test::TempDir::readFile(profile.logPath).size();
    SyncResults results;
    results.counts.addedFiles = 2;
    results.added.insert(makeItem("/b/x.txt"));
    results.added.insert(makeItem("/b/a.txt"));
    results.failedDeletedFolders.insert(makeItem("/b/old"));
    results.addProblem("CSynchroniserDlg::processFiles (add): Could not copy file: /b/y.txt",
                       "Permission denied");
    log.writeResults(results);
    log.close();

    const std::string text = test::TempDir::readFile(profile.logPath).substr(headerSize);
    const std::string dashes(30, '-');
    const std::string pluses(20, '+');
    const std::string expected =
        "\n" + dashes + "\n\nSynchronisation completed at:\n\n" + "Sun 07 December 2008 14:05:09\n\n" +
        "Results Summary:\n" + "0\toverwritten files\n2\tadded files\n0\tdeleted files\n" +
        "0\tadded folders\n0\tdeleted folders\n" + "\n" + dashes + "\n\nProblems:\n\n" +
        "\nCSynchroniserDlg::processFiles (add): Could not copy file: /b/y.txt" + "\nPermission denied" +
        "\n" + dashes + "\n\nResults Details:\n\n" + pluses + "\nAdded Files\n" + pluses +
        "\n/b/a.txt\n/b/x.txt\n" + pluses + "\nFailed Deleted Folders\n" + pluses + "\n/b/old\n";
    EXPECT_EQ(text, expected);
}

TEST_F(RunLogTest, ClosedLogIgnoresWrites) {
    EXPECT_FALSE(log.isOpen());
    log.write("x");
    log.writeNumber(5);
    log.writeResults(SyncResults{});
    ASSERT_TRUE(log.open(profile.logPath, false));
    EXPECT_TRUE(log.isOpen());
    log.close();
    log.write("after close");
    EXPECT_EQ(test::TempDir::readFile(profile.logPath).find("after close"), std::string::npos);
}

} // namespace
} // namespace velmora
