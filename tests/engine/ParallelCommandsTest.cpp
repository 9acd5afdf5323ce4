#include "SyncRig.h"
#include "platform/LatencyFileSystem.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using ::testing::Each;
using ::testing::ElementsAre;

// A share whose round trips take 0 to 3 ms depending on the path, so that commands started in
// one order end in another.
class ScrambledShare : public platform::LatencyFileSystem {
public:
    ScrambledShare() : LatencyFileSystem(platform::realFileSystem(), 1ms) {}

protected:
    void wait(const std::string& path, int operations) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::hash<std::string>{}(path) % 4) *
                                    operations);
    }
};

// What a run leaves that a user sees: the problem lines in order, the counts, and the target.
struct Outcome {
    std::vector<std::string> problems;
    std::vector<int> counts;
    std::vector<std::string> tree;
    bool operator==(const Outcome&) const = default;
};

// A plan with every kind of step and the orders they depend on: files into folders being made,
// folders deleted after their files, a file that takes the place of a folder to delete, and
// failures in the middle of each step (read-only targets refuse without "Overwrite read-only").
Outcome runWith(unsigned commandsInFlight) {
    ScrambledShare share;
    SyncRig rig(share);
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        rig.file("src/over" + n, "new " + n, 3600);
        rig.file("dst/over" + n, "old " + n);
        rig.file("src/add" + n, "added " + n);
        rig.file("dst/gone" + n, "x");
        rig.file("src/tree/f" + n, n);
        rig.file("src/tree/sub/g" + n, n);
        rig.file("dst/oldtree/h" + n, n);
        rig.file("dst/oldtree/deep/k" + n, n);
        rig.file("dst/clash/c" + n, n);
    }
    rig.file("src/clash", "a file where a folder was");
    rig.dir.setMode("dst/over3", 0444);
    rig.dir.setMode("dst/gone2", 0444);
    rig.dir.setMode("dst/oldtree/h4", 0444);
    rig.options.parallelCommands = commandsInFlight;
    rig.run();

    Outcome outcome;
    for (const std::string& line : rig.results.problems)
        outcome.problems.push_back(line.find(rig.dir.path()) == std::string::npos
                                       ? line
                                       : line.substr(0, line.find(rig.dir.path())) +
                                             line.substr(line.find(rig.dir.path()) + rig.dir.path().size()));
    const SyncCounts& c = rig.results.counts;
    outcome.counts = {c.overwrittenFiles, c.addedFiles, c.addedFolders, c.deletedFiles, c.deletedFolders};
    for (const std::string& path : rig.tree("dst"))
        outcome.tree.push_back(path.back() == '/' ? path : path + "=" + rig.read("dst/" + path));
    return outcome;
}

TEST(ParallelCommandsTest, SeveralInFlightGiveTheSameResultsInTheSameOrderAsOneAtATime) {
    const Outcome one = runWith(1);
    EXPECT_EQ(one.counts, (std::vector<int>{5, 19, 2, 22, 2}));
    EXPECT_EQ(one.problems.size(), 8u); // the three refusals, and the folder that kept its file
    for (unsigned n : {2u, 8u, 32u})
        EXPECT_EQ(runWith(n), one) << n << " in flight";
}

TEST(ParallelCommandsTest, StopGivesUpEveryCommandInFlightAndRecordsThemInOrder) {
    SyncRig rig;
    for (int i = 0; i < 8; ++i)
        rig.file("src/f" + std::to_string(i), "data");
    rig.options.parallelCommands = 4;
    rig.fs.hang(FsOp::CopyFile);
    rig.frontEnd.onPump = [&](long) {
        if (rig.fs.calls(FsOp::CopyFile) >= 4)
            rig.flags.stopRequest = true;
    };
    const RunOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_THAT(rig.relative(rig.results.failedAdded), ElementsAre("dst/f0", "dst/f1", "dst/f2", "dst/f3"));
    ASSERT_EQ(rig.results.problems.size(), 8u);
    EXPECT_EQ(rig.results.problems[0],
              "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.dir.at("dst/f0"));
    EXPECT_EQ(rig.results.problems[6],
              "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.dir.at("dst/f3"));
    EXPECT_THAT((std::vector<std::string>{rig.results.problems[1], rig.results.problems[7]}),
                Each("Stopped"));

    // The abandoned copies wake and clean up after themselves; the program waits for them.
    rig.fs.release();
    EXPECT_TRUE(FileCommands::settle(5s));
    EXPECT_TRUE(rig.tree("dst").empty());
    EXPECT_TRUE(rig.dir.temporaryFiles("dst").empty());
}

// Copies that report progress, or land their file and then wait for Stop before returning.
class ScriptedCopies : public platform::LatencyFileSystem {
public:
    ScriptedCopies() : LatencyFileSystem(platform::realFileSystem(), 0us) {}
    std::function<void(platform::CommandGate*)> after;
    std::function<void(platform::CommandGate*, const std::string& target)> before;

    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 platform::CommandGate* gate, bool allowReadOnly, const platform::SeenTarget* seen) override {
        if (before)
            before(gate, target);
        const int result =
            LatencyFileSystem::copyFile(source, target, failIfExists, gate, allowReadOnly, seen);
        if (after)
            after(gate);
        return result;
    }
};

// One runner of file commands over scripted copies, for the tests that steer single copies.
class ScriptedCommandsTest : public testing::Test {
protected:
    TempDir dir;
    ScriptedCopies fs;
    FakeFrontEnd frontEnd;
    std::atomic<bool> stop{false};
    LastReason reason;
    FileCommands commands{fs, frontEnd, stop, reason};
};

TEST_F(ScriptedCommandsTest, TheTimeoutCountsFromTheLastProgressAndALandedCopyCountsAsDoneOnStop) {
    const std::string source = dir.writeFile("source", "new");
    dir.writeFile("target", "old");
    commands.setTimeout(1);

    // Moving for 1.5 s against a 1 s limit: never timed out.
    fs.before = [](platform::CommandGate* gate, const std::string&) {
        for (int i = 0; i < 6; ++i) {
            std::this_thread::sleep_for(250ms);
            gate->progressed();
        }
    };
    EXPECT_TRUE(commands.copyFile(source, dir.at("copy"), false, false)) << reason.get();

    // Stop comes after the copy took its place: the hand-over was the worker's, so it is done.
    std::atomic<bool> landed{false};
    fs.before = nullptr;
    fs.after = [&](platform::CommandGate*) {
        landed = true;
        for (int i = 0; i < 1000 && !stop; ++i)
            std::this_thread::sleep_for(1ms);
    };
    frontEnd.onPump = [&](long) {
        if (landed)
            stop = true;
    };
    EXPECT_TRUE(commands.copyFile(source, dir.at("target"), false, false));
    EXPECT_TRUE(stop);
    EXPECT_EQ(TempDir::readFile(dir.at("target")), "new");
    EXPECT_TRUE(FileCommands::settle(5s));
}

// Once commands have looked quick, a worker awake is trusted to come to the queued ones; a worker
// then stuck in a call must not hold up those queued behind it.
TEST_F(ScriptedCommandsTest, ACommandQueuedBehindAStuckOneIsCarriedOutMeanwhile) {
    const std::string source = dir.writeFile("source", "data");
    commands.setParallel(2);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(commands.copyFile(source, dir.at("quick" + std::to_string(i)), false, false));

    std::atomic<bool> released{false};
    fs.before = [&](platform::CommandGate*, const std::string& target) {
        if (target == dir.at("stuck"))
            for (int i = 0; i < 3000 && !released; ++i)
                std::this_thread::sleep_for(1ms);
    };
    frontEnd.onPump = [&](long) {
        if (std::filesystem::exists(dir.at("next")))
            released = true;
    };
    const auto stuck = commands.startCopy(source, dir.at("stuck"), false, false);
    const auto next = commands.startCopy(source, dir.at("next"), false, false);
    EXPECT_TRUE(commands.finish(stuck));
    EXPECT_TRUE(commands.finish(next));
    EXPECT_TRUE(released) << "the queued copy waited for the stuck one";
}

// The workers a run with more commands in flight started stay in the pool; a later run with fewer
// must still carry out no more at once than it allows.
TEST_F(ScriptedCommandsTest, ALowerLimitHoldsWithTheWorkersOfAHigherOne) {
    const std::string source = dir.writeFile("source", "data");
    std::atomic<int> inside{0}, most{0};
    fs.before = [&](platform::CommandGate*, const std::string&) {
        const int now = ++inside;
        for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
        }
        std::this_thread::sleep_for(5ms);
        --inside;
    };
    for (unsigned limit : {8u, 2u}) {
        commands.setParallel(limit);
        most = 0;
        std::vector<FileCommands::Pending> started;
        for (int i = 0; i < 16; ++i)
            started.push_back(commands.startCopy(
                source, dir.at(std::to_string(limit) + "-" + std::to_string(i)), false, false));
        for (const auto& command : started)
            EXPECT_TRUE(commands.finish(command));
        EXPECT_LE(most, static_cast<int>(limit));
        EXPECT_GT(most, 1) << "several at once";
    }
}

} // namespace
} // namespace velmora::test
