// The safeguards on a plan's deletes: what they count, when they refuse, ask or let a run go.
#include "SyncRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using EmptySource = RunSafeguards::EmptySource;

// dst holds a.txt, photos/ with 30 files and old.txt; src holds a.txt unless it is empty.
void buildTrees(SyncRig& rig, bool emptySource) {
    if (!emptySource)
        rig.file("src/a.txt", "a");
    rig.file("dst/a.txt", "a");
    rig.file("dst/old.txt", "old");
    for (int i = 0; i < 30; ++i)
        rig.file("dst/photos/p" + std::to_string(i), "p");
}

struct GuardCase {
    const char* name;
    bool emptySource;
    std::optional<std::uint64_t> maxDeletes;
    EmptySource policy;
    bool silent;
    std::optional<bool> answer; // to the empty-source question, when one is expected
    Refusal refusal;
    bool deleted;          // whether photos/ and old.txt are gone afterwards
    std::uint64_t counted; // what a refusal says the plan would remove
};

// old.txt, photos/ and its 30 files.
constexpr std::uint64_t kAll = 32;

const GuardCase kCases[] = {
    {"folder content counts against the limit",
     false,
     31,
     EmptySource::Refuse,
     false,
     {},
     Refusal::TooManyDeletes,
     false,
     kAll},
    {"a limit that covers everything", false, kAll, EmptySource::Refuse, false, {}, Refusal::None, true, 0},
    {"empty source refused whatever the limit",
     true,
     1000,
     EmptySource::Refuse,
     false,
     {},
     Refusal::EmptySource,
     false,
     kAll + 1},
    {"empty source allowed", true, {}, EmptySource::Allow, false, {}, Refusal::None, true, 0},
    {"empty source allowed, still within the limit",
     true,
     5,
     EmptySource::Allow,
     false,
     {},
     Refusal::TooManyDeletes,
     false,
     kAll + 1},
    {"empty source asked, No keeps the target",
     true,
     {},
     EmptySource::Ask,
     false,
     false,
     Refusal::None,
     false,
     0},
    {"empty source asked, Yes deletes", true, {}, EmptySource::Ask, false, true, Refusal::None, true, 0},
    {"empty source in silent mode is refused",
     true,
     {},
     EmptySource::Ask,
     true,
     {},
     Refusal::EmptySource,
     false,
     kAll + 1},
};

TEST(DeleteGuardTest, EachRuleCountsRefusesAsksOrLetsTheRunGo) {
    for (const GuardCase& c : kCases) {
        SCOPED_TRACE(c.name);
        SyncRig rig;
        buildTrees(rig, c.emptySource);
        rig.options.safeguards.maxDeletes = c.maxDeletes;
        rig.options.safeguards.emptySource = c.policy;
        rig.options.silentMode = c.silent;
        if (c.answer)
            rig.frontEnd.questionAnswers.push_back(*c.answer);

        const RunOutcome outcome = rig.run();
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_EQ(outcome.failed, c.refusal != Refusal::None);
        EXPECT_EQ(rig.frontEnd.cautiousQuestions.size(), c.answer ? 1u : 0u);
        EXPECT_EQ(TempDir::exists(rig.dir.at("dst/old.txt")), !c.deleted);
        EXPECT_EQ(TempDir::exists(rig.dir.at("dst/photos")), !c.deleted);
        if (c.refusal != Refusal::None) {
            EXPECT_EQ(outcome.plannedDeletes, c.counted);
            ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
            EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation failed\n");
            EXPECT_THAT(rig.results.problems.at(0),
                        HasSubstr("Refused to delete " + std::to_string(c.counted) + " files and folders"));
        }
        if (c.answer && !*c.answer) {
            EXPECT_TRUE(outcome.cancelled);
            EXPECT_THAT(rig.frontEnd.reports, IsEmpty()); // declined, like a cancelled check-list
        }
    }
}

TEST(DeleteGuardTest, TheQuestionNamesTheSourceTheTargetAndTheCount) {
    SyncRig rig;
    buildTrees(rig, true);
    rig.frontEnd.questionAnswers.push_back(false);
    rig.run();
    ASSERT_EQ(rig.frontEnd.cautiousQuestions.size(), 1u);
    const std::string& text = rig.frontEnd.cautiousQuestions[0];
    EXPECT_THAT(text, HasSubstr("The source folder " + rig.source + " is empty"));
    EXPECT_THAT(text, HasSubstr("would delete 33 files and folders from the target folder " + rig.target));
}

TEST(DeleteGuardTest, ExcludedContentIsNotCountedAndAFolderThatCannotBeListedRefusesALimit) {
    SyncRig rig;
    buildTrees(rig, false);
    rig.exclude("dst/photos/p7");
    rig.options.safeguards.maxDeletes = 30; // old.txt, photos/ and 29 files would be one too many
    EXPECT_EQ(rig.run().plannedDeletes, 31u);

    SyncRig unreadable;
    buildTrees(unreadable, false);
    unreadable.options.safeguards.maxDeletes = 1000;
    // The analysis lists src/ and dst/; the third listing is the count's, of dst/photos/.
    unreadable.fs.failOn(FsOp::ListFolder, EACCES, 3);
    const RunOutcome outcome = unreadable.run();
    EXPECT_EQ(outcome.refusal, Refusal::DeletesNotCounted);
    EXPECT_THAT(unreadable.results.problems,
                testing::Contains(
                    HasSubstr("Could not count what is in folder: " + unreadable.dir.at("dst/photos"))));
    EXPECT_TRUE(TempDir::exists(unreadable.dir.at("dst/old.txt")));
}

// Wherever Stop lands, a run whose source holds files is interrupted or done, never refused as if
// its source were empty, and never refused on a count that Stop cut short. Listings are slowed
// down so that Stop can land inside each of them, as Ctrl-C can.
TEST(DeleteGuardTest, AStopAnywhereIsAnInterruptionNeverARefusal) {
    const auto slowListings = [](SyncRig& rig) {
        rig.fs.hangFor(FsOp::ListFolder, std::chrono::milliseconds(3));
    };
    long pumpsOfAWholeRun = 0;
    {
        SyncRig rig;
        slowListings(rig);
        buildTrees(rig, false);
        rig.options.safeguards.maxDeletes = 1000;
        rig.options.safeguards.emptySource = EmptySource::Refuse;
        rig.run();
        pumpsOfAWholeRun = rig.frontEnd.pumps;
    }
    ASSERT_GT(pumpsOfAWholeRun, 5);
    for (long n = 1; n <= pumpsOfAWholeRun; ++n) {
        SCOPED_TRACE("Stop at pump " + std::to_string(n));
        SyncRig rig;
        slowListings(rig);
        buildTrees(rig, false);
        rig.options.safeguards.maxDeletes = 1000;
        rig.options.safeguards.emptySource = EmptySource::Refuse;
        rig.frontEnd.stopAtPump(rig.flags.stopRequest, n);
        const RunOutcome outcome = rig.run();
        EXPECT_EQ(outcome.refusal, Refusal::None);
        EXPECT_FALSE(outcome.failed);
    }
}

} // namespace
} // namespace velmora::test
