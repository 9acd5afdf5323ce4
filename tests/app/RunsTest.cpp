#include "ControllerRig.h"
#include "app/BatchList.h"
#include "platform/ErrorText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace velmora {
namespace {

using test::ControllerRig;

constexpr const char* kAlreadyRunning = "There is already a batch or synchronisation running";

TEST(SynchroniseTest, SecondRequestWhileRunningIsRefusedEvenInSilentMode) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p");
    profile.silentMode = true;
    const std::string path = rig.writeProfile("p.vmp", profile);
    rig.dir.writeFile("p/one/a.txt", "a");
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    ASSERT_TRUE(rig.app->silent());

    std::vector<bool> refused;
    bool batchRefused = false;
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() == RunningState::Idle || !refused.empty())
            return;
        refused.push_back(!rig.app->synchronise(Direction::TwoToOne).has_value());
        RunRequest request;
        request.folders = {rig.dir.at("x/"), rig.dir.at("y/")};
        refused.push_back(!rig.app->run(request).has_value());
        batchRefused = rig.app->runBatch().refused;
        EXPECT_FALSE(rig.app->requestClose());
        EXPECT_FALSE(rig.app->exit());
    };
    const auto outcome = rig.app->synchronise(Direction::OneToTwo);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_FALSE(outcome->failed || outcome->interrupted);
    EXPECT_EQ(refused, (std::vector<bool>{true, true}));
    EXPECT_TRUE(batchRefused);
    EXPECT_EQ(rig.messagesWith(kAlreadyRunning), 3);
    // The close request is not shown in silent mode; the window stays.
    EXPECT_EQ(rig.messagesWith("cannot be closed"), 0);
    EXPECT_FALSE(rig.app->finished());
    // Only the first run happened.
    EXPECT_TRUE(rig.exists("p/two/a.txt"));
    EXPECT_EQ(rig.app->results().counts.addedFiles, 1);
    EXPECT_EQ(rig.app->runningState(), RunningState::Idle);
}

TEST(SynchroniseTest, CloseDuringARunIsExplainedWhenNotSilent) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() != RunningState::Idle)
            rig.app->requestClose();
    };
    rig.app->synchronise(Direction::OneToTwo);
    EXPECT_GE(rig.messagesWith(
                  "Velmora cannot be closed whilst a synchronisation is running.\nUse the Stop button first"),
              1);
    EXPECT_FALSE(rig.app->finished());
}

TEST(SynchroniseTest, LocationWithoutSeparatorStillCopiesIntoTheFolder) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p");
    const std::string path = rig.writeProfile("p.vmp", profile);
    // Written by hand without the final '/'.
    profile.location2.pop_back();
    rig.writeProfile("p.vmp", profile);
    rig.dir.writeFile("p/one/a.txt", "a");
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    ASSERT_TRUE(rig.app->synchronise(Direction::OneToTwo));
    EXPECT_TRUE(rig.exists("p/two/a.txt"));
    EXPECT_FALSE(rig.exists("p/twoa.txt"));
}

TEST(SynchroniseTest, ExitOnCompletionEndsTheProgramAndRemembersTheFile) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p");
    profile.exitOnCompletion = true;
    const std::string path = rig.writeProfile("p.vmp", profile);
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    const auto outcome = rig.app->synchronise(Direction::OneToTwo);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->exitRequested);
    EXPECT_TRUE(rig.app->finished());
    EXPECT_EQ(rig.settings.readString("ProfilePath"), path);
}

// The folders a run opened, on its own thread and on the pool's, are let go once it has ended: a
// window left open after a run must not keep a removable disk or a share from being unmounted.
TEST(SynchroniseTest, AnEndedRunKeepsNothingOfItsLocationsOpen) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    for (int i = 0; i < 20; ++i)
        rig.dir.writeFile("p/one/d" + std::to_string(i % 3) + "/f" + std::to_string(i), "x");
    rig.start();
    ASSERT_TRUE(rig.app->openFile(path));
    ASSERT_TRUE(rig.app->synchronise(Direction::OneToTwo));
    ASSERT_TRUE(rig.exists("p/two/d2/f2"));

    const std::string locations = rig.dir.at("p/");
    auto openBeneath = [&] {
        int count = 0;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
            count += !error && target.rfind(locations, 0) == 0;
        }
        return count;
    };
    // Idle workers let go after a short wait of their own.
    for (int tries = 0; tries < 100 && openBeneath() > 0; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(openBeneath(), 0);
}

TEST(SynchroniseTest, MissingSourceFailsAndLastReportKnowsBothSides) {
    ControllerRig rig;
    rig.start();
    rig.dir.makeFolder("dst");
    RunRequest request;
    request.folders = {rig.dir.at("nowhere"), rig.dir.at("dst")};
    const auto outcome = rig.app->run(request);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->failed);
    EXPECT_TRUE(rig.app->lastReportAvailable());
    EXPECT_EQ(rig.app->results().lastSource, rig.dir.at("nowhere/"));
    ASSERT_FALSE(rig.frontEnd.reports.empty());
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
}

class BatchRunTest : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string name : {"a", "b", "c"}) {
            paths.push_back(rig.writeProfile(name + ".vmp", rig.profileFor(name, 1)));
            rig.dir.writeFile(name + "/one/" + name + ".txt", name);
        }
    }

    std::string batchOf(const std::vector<std::string>& profiles) {
        const std::string path = rig.writeBatch("all.vmb", profiles);
        rig.start();
        EXPECT_TRUE(rig.app->openFile(path));
        return path;
    }

    ControllerRig rig;
    std::vector<std::string> paths;
};

TEST_F(BatchRunTest, StopDuringTheSecondProfileEndsTheBatchAndShowsItAgain) {
    const std::string batch = batchOf(paths);
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() != RunningState::Idle && rig.app->selectorText() == paths[1])
            rig.app->stop();
    };
    const BatchOutcome outcome = rig.app->runBatch();
    EXPECT_TRUE(outcome.interrupted);
    ASSERT_EQ(outcome.steps.size(), 2u);
    EXPECT_FALSE(outcome.steps[0].outcome.interrupted);
    EXPECT_TRUE(outcome.steps[1].outcome.interrupted);
    EXPECT_TRUE(rig.exists("a/two/a.txt"));
    EXPECT_FALSE(rig.exists("c/two/c.txt"));

    EXPECT_EQ(rig.app->selectorText(), batch);
    EXPECT_EQ(rig.app->currentBatchPath(), batch);
    EXPECT_EQ(rig.app->currentProfilePath(), "");
    EXPECT_EQ(rig.app->batch().profiles, paths);
    EXPECT_FALSE(rig.app->batchRunning());

    // The stop ended that batch only: the next one runs to the end.
    rig.frontEnd.onPump = nullptr;
    const BatchOutcome again = rig.app->runBatch();
    EXPECT_FALSE(again.interrupted);
    EXPECT_EQ(again.steps.size(), 3u);
    EXPECT_TRUE(rig.exists("c/two/c.txt"));
}

// The selector shows, and lists, the profile being run, although a batch run does not make it a
// recent file.
TEST_F(BatchRunTest, TheSelectorShowsTheProfileBeingRun) {
    const std::string batch = batchOf(paths);
    std::vector<std::string> shown;
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() == RunningState::Idle)
            return;
        const std::string text = rig.app->selectorText();
        const std::vector<std::string> listed = rig.app->selectorList();
        if (std::find(listed.begin(), listed.end(), text) != listed.end() &&
            (shown.empty() || shown.back() != text))
            shown.push_back(text);
    };
    rig.app->runBatch();
    EXPECT_EQ(shown, paths);
    EXPECT_EQ(rig.app->selectorText(), batch);
}

TEST_F(BatchRunTest, ProfileWithoutAutoStartOrUnreadableIsSkipped) {
    const std::string manual = rig.writeProfile("manual.vmp", rig.profileFor("m", 0));
    rig.dir.writeFile("m/one/m.txt", "m");
    const std::string missing = rig.dir.at("missing.vmp");
    const std::string notes = rig.dir.at("notes.txt");
    batchOf({paths[0], manual, missing, "", notes, paths[2]});

    const BatchOutcome outcome = rig.app->runBatch();
    ASSERT_EQ(outcome.steps.size(), 6u);
    EXPECT_EQ(outcome.steps[1].result, BatchStep::Result::NoAutoStart);
    EXPECT_EQ(outcome.steps[2].result, BatchStep::Result::NotLoaded);
    EXPECT_EQ(outcome.steps[3].result, BatchStep::Result::NotLoaded);
    EXPECT_EQ(outcome.steps[4].result, BatchStep::Result::NotLoaded);
    EXPECT_EQ(outcome.steps[5].result, BatchStep::Result::Ran);
    EXPECT_EQ(rig.messagesWith(notes + " is not a Velmora profile"), 1);
    EXPECT_EQ(rig.messagesWith("The profile " + manual +
                               "\n must have Auto Start selected to be used as a batch profile"),
              1);
    EXPECT_EQ(rig.messagesWith("Could not open file: " + missing), 1);
    EXPECT_FALSE(rig.exists("m/two/m.txt"));
    EXPECT_TRUE(rig.exists("a/two/a.txt"));
    EXPECT_TRUE(rig.exists("c/two/c.txt"));
}

TEST_F(BatchRunTest, UnsavedBatchIsOfferedForSavingAndShownAgainFromItsNewFile) {
    rig.start();
    const std::string saved = rig.dir.at("fresh.vmb");
    // The batch list's own Save As is cancelled, so the batch has no file yet.
    rig.app->acceptBatchList(BatchList(paths));
    ASSERT_EQ(rig.app->currentBatchPath(), "");
    ASSERT_TRUE(rig.app->batch().modified);

    rig.frontEnd.questionAnswers = {true};
    rig.frontEnd.fileChoices = {{saved}};
    const BatchOutcome outcome = rig.app->runBatch();
    EXPECT_EQ(rig.frontEnd.questions,
              std::vector<std::string>{
                  "The current batch file has been modified.\nDo you wish to save your changes?"});
    EXPECT_EQ(outcome.steps.size(), 3u);
    EXPECT_TRUE(rig.exists("fresh.vmb"));
    EXPECT_EQ(rig.app->currentBatchPath(), saved);
    EXPECT_EQ(rig.app->selectorText(), saved);
    EXPECT_FALSE(rig.app->batch().modified);
}

// A batch from the window whose profile's source is empty (a disk not mounted) while its target is
// full: a silent profile is refused with the reason in its log and report; another one asks, and
// No keeps the target. Either way the batch goes on with the next profile.
TEST_F(BatchRunTest, AnEmptySourceIsRefusedWhenSilentAndAskedOtherwise) {
    Profile silent = rig.profileFor("s", 1);
    silent.silentMode = true;
    silent.logOn = true;
    silent.logPath = rig.dir.at("s.log");
    const std::string silentPath = rig.writeProfile("s.vmp", silent);
    const std::string askingPath = rig.writeProfile("q.vmp", rig.profileFor("q", 1));
    for (const std::string name : {"s", "q"})
        rig.dir.writeFile(name + "/two/backup.txt", "keep");
    batchOf({silentPath, askingPath, paths[2]});

    rig.frontEnd.questionAnswers = {false};
    const BatchOutcome outcome = rig.app->runBatch();
    ASSERT_EQ(outcome.steps.size(), 3u);
    EXPECT_EQ(outcome.steps[0].outcome.refusal, Refusal::EmptySource);
    EXPECT_TRUE(outcome.steps[1].outcome.cancelled);
    EXPECT_EQ(rig.frontEnd.cautiousQuestions.size(), 1u);
    EXPECT_TRUE(rig.exists("s/two/backup.txt"));
    EXPECT_TRUE(rig.exists("q/two/backup.txt"));
    EXPECT_TRUE(rig.exists("c/two/c.txt"));
    const std::string log = test::TempDir::readFile(silent.logPath);
    EXPECT_NE(log.find("Refused to delete 1 files and folders in " + rig.dir.at("s/two/")), std::string::npos)
        << log;
    EXPECT_NE(log.find("The source folder " + rig.dir.at("s/one/") + " is empty"), std::string::npos);
}

TEST_F(BatchRunTest, ExitOnCompletionWaitsForTheWholeBatch) {
    Profile first = rig.profileFor("a", 1);
    first.exitOnCompletion = true;
    rig.writeProfile("a.vmp", first);
    batchOf(paths);
    const BatchOutcome outcome = rig.app->runBatch();
    EXPECT_EQ(outcome.steps.size(), 3u);
    EXPECT_TRUE(outcome.exitRequested);
    EXPECT_TRUE(rig.exists("c/two/c.txt"));
    EXPECT_TRUE(rig.app->finished());
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// A profile that logs to run.log, opened, with one file to add.
class RunLogTest : public testing::Test {
protected:
    void openLoggingProfile() {
        profile.logOn = true;
        profile.logPath = rig.dir.at("run.log");
        path = rig.writeProfile("p.vmp", profile);
        rig.dir.writeFile("p/one/a.txt", "a");
        rig.start();
        ASSERT_TRUE(rig.app->openFile(path));
    }

    test::ControllerRig rig;
    Profile profile = rig.profileFor("p");
    std::string path;
};

// SIGTERM or SIGHUP (a logout, a service manager): the run going on stops and its log says why,
// nothing waits for the user (report, questions), and the program finishes without offering to
// save; asked while idle, it finishes at once.
TEST_F(RunLogTest, AskedToEndFromOutsideARunStopsWritesItsLogAndNothingWaits) {
    for (int i = 0; i < 5; ++i)
        rig.dir.writeFile("p/one/more" + std::to_string(i) + ".txt", "m");
    openLoggingProfile();
    rig.app->setOption(OptionBox::AddMissing, true); // modified: Exit would offer to save
    bool asked = false;
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() != RunningState::Idle && !asked) {
            asked = true;
            rig.app->endFromOutside(StopCause::Terminate);
        }
    };
    const std::optional<RunOutcome> outcome = rig.app->synchronise(Direction::OneToTwo);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->interrupted);
    EXPECT_TRUE(rig.app->finished());
    EXPECT_TRUE(rig.frontEnd.reports.empty());
    EXPECT_TRUE(rig.frontEnd.questions.empty());
    const std::string log = test::TempDir::readFile(profile.logPath);
    EXPECT_NE(log.find("Synchronisation interrupted by the signal SIGTERM"), std::string::npos) << log;

    test::ControllerRig idle;
    idle.start();
    idle.app->chooseLocation(Location::One, idle.dir.at("x/"));
    idle.app->endFromOutside(StopCause::Hangup);
    EXPECT_TRUE(idle.app->finished());
    EXPECT_TRUE(idle.frontEnd.questions.empty());
}

TEST_F(RunLogTest, ProfileWithLoggingWritesTheRunAndItsResults) {
    openLoggingProfile();
    ASSERT_TRUE(rig.app->synchronise(Direction::OneToTwo));
    const std::string log = test::TempDir::readFile(profile.logPath);
    EXPECT_NE(log.find("Profile: " + path), std::string::npos);
    EXPECT_NE(log.find("Source: " + rig.dir.at("p/one/")), std::string::npos);
    EXPECT_NE(log.find(rig.dir.at("p/two/a.txt")), std::string::npos);

    // A request refused during a run goes into that run's log and starts no log of its own.
    rig.frontEnd.onPump = [&](long) {
        if (rig.app->runningState() != RunningState::Idle)
            rig.app->synchronise(Direction::OneToTwo);
    };
    rig.app->synchronise(Direction::TwoToOne);
    const std::string second = test::TempDir::readFile(profile.logPath);
    EXPECT_NE(second.find("CSynchroniserDlg::OnSynch12: There is already a batch or synchronisation running"),
              std::string::npos);
    EXPECT_EQ(second.find("Source: "), second.rfind("Source: "));
    EXPECT_NE(second.find("Source: " + rig.dir.at("p/two/")), std::string::npos);
}

// A log that fills the disk while it is written still lets the run do its work, but the run no
// longer ends as if all were well: one problem names the log and the reason. Once the disk has
// room again the next run has no such problem.
TEST_F(RunLogTest, ALogThatCannotBeWrittenEndsTheRunWithAProblem) {
    if (!rig.fs.fillDiskUnderLog())
        GTEST_SKIP() << "no full device on this machine";
    openLoggingProfile();
    const std::vector<std::string> expected{"CSynchroniserDlg::synchronise: Could not write log file: " +
                                                profile.logPath,
                                            platform::errorText(ENOSPC)};
    for (const bool diskFull : {true, false}) {
        if (!diskFull)
            rig.fs.reset();
        rig.app->synchronise(Direction::OneToTwo);
        ASSERT_FALSE(rig.frontEnd.reports.empty());
        EXPECT_EQ(rig.frontEnd.reports.back().problems, diskFull ? expected : std::vector<std::string>{})
            << (diskFull ? "disk full" : "disk with room");
    }
    EXPECT_TRUE(rig.exists("p/two/a.txt"));
    EXPECT_EQ(rig.messagesWith("Could not write log file: " + profile.logPath), 1);
}

TEST(SynchroniseTest, APlanOnlyRequestAnalysesAndChangesNothing) {
    ControllerRig rig;
    Profile profile = rig.profileFor("p", 2);
    profile.checkActions = true;
    profile.logOn = true;
    profile.logPath = rig.dir.at("run.txt");
    rig.dir.writeFile("p/two/new.txt", "new");
    rig.dir.writeFile("p/one/old.txt", "old");
    rig.start();

    RunRequest request;
    request.profile = profile;
    request.mode = RunMode::PlanOnly;
    const auto outcome = rig.app->run(request);
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->failed || outcome->cancelled || outcome->interrupted);
    // Its own auto-start direction (2 to 1): new.txt to add, old.txt to delete; nothing done.
    EXPECT_EQ(rig.app->actions().filesToAdd.size(), 1u);
    EXPECT_EQ(rig.app->actions().filesToDelete.size(), 1u);
    EXPECT_EQ(rig.frontEnd.checkLists, 0);
    EXPECT_TRUE(rig.frontEnd.reports.empty());
    EXPECT_TRUE(rig.exists("p/one/old.txt"));
    EXPECT_FALSE(rig.exists("p/one/new.txt"));
    EXPECT_FALSE(rig.exists("run.txt"));
    // The window was not touched.
    EXPECT_EQ(rig.app->locationText(Location::One), "");

    request.mode = RunMode::Execute;
    ASSERT_TRUE(rig.app->run(request));
    EXPECT_EQ(rig.frontEnd.checkLists, 1);
    EXPECT_TRUE(rig.exists("p/one/new.txt"));
    EXPECT_TRUE(rig.exists("run.txt"));
}

} // namespace
} // namespace velmora
