// The rules of the dialogs' models, one table per rule set.
#include "app/ActionListsModel.h"
#include "app/ConfigurationModel.h"
#include "app/ExclusionFilesModel.h"
#include "app/MoreOptionsModel.h"
#include "app/ReportModel.h"
#include "engine/SyncResults.h"
#include "platform/FileSystem.h"
#include "profiles/Profile.h"
#include "profiles/StoredSettings.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using Field = MoreOptionsModel::Field;

TEST(MoreOptionsModelTest, EnablingRulesAndWhatOkStores) {
    Profile profile;
    profile.autoStart = AutoStartDirection::TwoToOne;
    profile.adjustHours = -3;
    profile.compareOnTime = false;
    MoreOptionsModel model(profile);
    EXPECT_EQ(model.direction, Direction::TwoToOne);
    EXPECT_EQ(model.hoursText, "-3");
    EXPECT_EQ(model.compareOn, MoreOptionsModel::CompareOn::FileSize);
    EXPECT_FALSE(model.logControlsEnabled());

    // Clearing keeps the direction but disables it; ticking again always picks 1 to 2.
    model.setAutoStart(false);
    EXPECT_FALSE(model.directionEnabled() || model.hideOtherButtonEnabled());
    EXPECT_EQ(model.direction, Direction::TwoToOne);
    model.setAutoStart(true);
    EXPECT_EQ(model.direction, Direction::OneToTwo);

    // OK without changes still marks the profile modified; Cancel is simply not calling store.
    Profile stored = profile;
    stored.modified = false;
    ASSERT_FALSE(MoreOptionsModel(stored).store(stored));
    EXPECT_TRUE(stored.modified);
    EXPECT_EQ(stored.autoStart, AutoStartDirection::TwoToOne);

    model.hoursText = " 12 ";
    model.minutesText = "-59";
    model.logOn = true;
    model.logPath = "/tmp/run.txt";
    model.logMode = MoreOptionsModel::LogMode::Append;
    ASSERT_FALSE(model.store(stored));
    EXPECT_EQ(stored.autoStart, AutoStartDirection::OneToTwo);
    EXPECT_EQ(stored.adjustHours, 12);
    EXPECT_EQ(stored.adjustMinutes, -59);
    EXPECT_TRUE(stored.logOn && stored.logAppend);
    EXPECT_FALSE(stored.compareOnTime);
}

TEST(MoreOptionsModelTest, RefusalsKeepTheProfileAndNameTheField) {
    struct Case {
        std::string hours, minutes;
        bool logOn;
        std::string logPath;
        std::optional<Field> field;
        std::string message;
    };
    const Case cases[] = {
        {"13", "0", false, "", Field::Hours, "Please enter an integer between -12 and 12."},
        {"-12", "60", false, "", Field::Minutes, "Please enter an integer between -59 and 59."},
        {"abc", "0", false, "", Field::Hours, "Please enter an integer."},
        {"", "0", false, "", Field::Hours, "Please enter an integer."},
        {"1", "2x", false, "", Field::Minutes, "Please enter an integer."},
        {"99999999999999999999", "0", false, "", Field::Hours, "Please enter an integer."},
        {"1", "2", true, "", Field::LogPath, "You have selected logging and must specify a log file"},
        {"+1", "-0", true, "x.txt", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        Profile profile;
        MoreOptionsModel model(profile);
        model.hoursText = c.hours;
        model.minutesText = c.minutes;
        model.logOn = c.logOn;
        model.logPath = c.logPath;
        const auto refusal = model.store(profile);
        SCOPED_TRACE(c.hours + " " + c.minutes);
        EXPECT_EQ(refusal.has_value(), c.field.has_value());
        EXPECT_EQ(profile.modified, !c.field.has_value());
        if (refusal) {
            EXPECT_EQ(refusal->field, *c.field);
            EXPECT_EQ(refusal->message, c.message);
            EXPECT_EQ(refusal->context.empty(), c.field != Field::LogPath);
        }
    }
}

TEST(ConfigurationModelTest, RangesAndWhatOkApplies) {
    struct Case {
        std::string timeout, difference;
        std::optional<ConfigurationModel::Field> field;
        std::string message;
        std::string parallel = "8";
    };
    const Case cases[] = {
        {"9", "120", ConfigurationModel::Field::CommandTimeout,
         "Please enter an integer between 10 and 99999."},
        {"100000", "120", ConfigurationModel::Field::CommandTimeout,
         "Please enter an integer between 10 and 99999."},
        {"10", "0", ConfigurationModel::Field::TimeDifference, "Please enter an integer between 1 and 999."},
        {"10", "1000", ConfigurationModel::Field::TimeDifference,
         "Please enter an integer between 1 and 999."},
        {"ten", "5", ConfigurationModel::Field::CommandTimeout, "Please enter an integer."},
        {"10", "999", std::nullopt, ""},
        {"99999", "1", std::nullopt, ""},
        {"10", "5", ConfigurationModel::Field::ParallelCommands, "Please enter an integer between 1 and 32.",
         "0"},
        {"10", "5", ConfigurationModel::Field::ParallelCommands, "Please enter an integer between 1 and 32.",
         "33"},
        {"10", "5", std::nullopt, "", "1"},
        {"10", "5", std::nullopt, "", "32"},
    };
    for (const Case& c : cases) {
        GeneralSettings settings;
        ConfigurationModel model(settings);
        model.commandTimeoutText = c.timeout;
        model.timeDifferenceText = c.difference;
        model.parallelCommandsText = c.parallel;
        model.dateFormat = ConfigurationModel::DateFormat::MmDdYy;
        model.buttonStyle = ConfigurationModel::ButtonStyle::NoText;
        const auto refusal = model.apply(settings);
        SCOPED_TRACE(c.timeout + " " + c.difference);
        ASSERT_EQ(refusal.has_value(), c.field.has_value());
        if (refusal) {
            EXPECT_EQ(refusal->field, *c.field);
            EXPECT_EQ(refusal->message, c.message);
            EXPECT_TRUE(settings.ddmmyy); // nothing applied
        } else {
            EXPECT_EQ(settings.commandTimeout, std::stoul(c.timeout));
            EXPECT_EQ(settings.timeDifference, std::stoul(c.difference));
            EXPECT_EQ(settings.parallelCommands, std::stoul(c.parallel));
            EXPECT_FALSE(settings.ddmmyy);
            EXPECT_TRUE(settings.showNoTextButtons);
        }
    }
}

FileItemPtr item(const std::string& path, bool failed = false) {
    FileItemPtr made = makeItem(path);
    made->failed = failed;
    return made;
}

TEST(ActionListsModelTest, TextsByModeAndCategory) {
    CheckListSets sets;
    sets.filesToAdd = {item("/t/a"), item("/t/b")};
    sets.foldersToDelete = {item("/t/old/")};
    ActionListsModel checkList(sets);

    SyncResults results;
    results.added = {item("/t/a")};
    results.failedAdded = {item("/t/b", true)};
    results.deletedFolders = {item("/t/old/")};
    ActionListsModel done(results);

    EXPECT_EQ(checkList.windowTitle(), "Synchronisation analysis results");
    EXPECT_EQ(done.windowTitle(), "Detailed Synchronisation Results");
    EXPECT_TRUE(checkList.showsCancel() && checkList.showsRemoveItem());
    EXPECT_FALSE(done.showsCancel() || done.showsRemoveItem());

    struct Row {
        ActionCategory category;
        std::string checkListButton, resultsButton, checkListCaption, resultsCaption;
    };
    const Row rows[] = {
        {ActionCategory::OverwriteFiles, "0 Overwrite Files", "0 Overwritten Files",
         "Now Showing: Files To Be Overwritten", "Now Showing: Overwritten Files"},
        {ActionCategory::AddFiles, "2 Add Files", "1 Added Files", "Now Showing: Files To Be Added",
         "Now Showing: Added Files"},
        {ActionCategory::DeleteFiles, "0 Delete Files", "0 Deleted Files", "Now Showing: Files To Be Deleted",
         "Now Showing: Deleted Files"},
        {ActionCategory::AddFolders, "0 Add Folders", "0 Added Folders", "Now Showing: Folders To Be Added",
         "Now Showing: Added Folders"},
        {ActionCategory::DeleteFolders, "1 Delete Folders", "1 Deleted Folders",
         "Now Showing: Folders To Be Deleted", "Now Showing: Deleted Folders"},
    };
    for (const Row& row : rows) {
        checkList.selectCategory(row.category);
        done.selectCategory(row.category);
        EXPECT_EQ(checkList.buttonText(row.category), row.checkListButton);
        EXPECT_EQ(done.buttonText(row.category), row.resultsButton);
        EXPECT_EQ(checkList.caption(), row.checkListCaption);
        EXPECT_EQ(done.caption(), row.resultsCaption);
        EXPECT_EQ(checkList.categoryEnabled(row.category), row.checkListButton[0] != '0');
    }
    // Failed entries stay out of the lines but are browsed.
    done.selectCategory(ActionCategory::AddFiles);
    EXPECT_EQ(done.lines(), std::vector<std::string>{"/t/a"});
    EXPECT_EQ(done.browseItems().size(), 3u);
    EXPECT_EQ(done.browseStartFolder(), "/t/");
}

TEST(ActionListsModelTest, RemovalsAndTheDeleteQuestion) {
    CheckListSets sets;
    sets.filesToDelete = {item("/t/A"), item("/t/b"), item("/t/c")};
    sets.foldersToDelete = {item("/t/x/"), item("/t/y/")};
    ActionListsModel model(sets);

    struct Step {
        ActionCategory category;
        std::set<std::size_t> remove;
        std::optional<std::string> question;
    };
    const std::string ask = ".\nAre you sure you want to continue?";
    const Step steps[] = {
        {ActionCategory::DeleteFiles, {}, "You are about to delete 2 folders and 3 files" + ask},
        {ActionCategory::DeleteFolders, {0, 1}, "You are about to delete 3 files" + ask},
        {ActionCategory::DeleteFiles, {0, 2, 7}, "You are about to delete 1 files" + ask},
        {ActionCategory::DeleteFiles, {0}, std::nullopt},
    };
    for (const Step& step : steps) {
        model.selectCategory(step.category);
        EXPECT_FALSE(model.canRemoveItem());
        model.select(step.remove);
        EXPECT_EQ(model.canRemoveItem(), !step.remove.empty());
        model.removeItem();
        EXPECT_FALSE(model.canRemoveItem());
        EXPECT_EQ(model.deleteQuestion(), step.question);
    }
    sets = {};
    sets.foldersToDelete = {item("/t/x/"), item("/t/y/")};
    EXPECT_EQ(ActionListsModel(sets).deleteQuestion(), "You are about to delete 2 folders" + ask);
    EXPECT_EQ(model.buttonText(ActionCategory::DeleteFiles), "0 Delete Files");
    EXPECT_FALSE(model.categoryEnabled(ActionCategory::DeleteFiles));

    // Browse All's removals reach the lists; the current folder is kept for the next time.
    sets = {};
    sets.filesToAdd = {item("/t/a"), item("/t/b")};
    ActionListsModel browsed(sets);
    browsed.selectCategory(ActionCategory::AddFiles);
    browsed.keepBrowsed({browsed.entries(ActionCategory::AddFiles)[1]}, "/t/sub/");
    EXPECT_EQ(browsed.lines(), std::vector<std::string>{"/t/b"});
    EXPECT_EQ(browsed.browseStartFolder(), "/t/sub/");
    EXPECT_EQ(browsed.sets().filesToAdd.size(), 1u);
}

TEST(ReportModelTest, HeadlineCountsAndProblems) {
    SyncResults results;
    results.lastSource = "/s/";
    results.lastTarget = "/t/";
    results.lastHeadline = "Synchronisation interrupted\n";
    results.counts.addedFiles = 4;
    results.counts.deletedFolders = 2;
    ReportModel quiet(results);
    EXPECT_EQ(quiet.headline(), "Synchronisation interrupted\n");
    EXPECT_FALSE(quiet.showsProblems());
    const std::pair<std::string, std::int32_t> expected[] = {{"Overwritten files", 0},
                                                             {"Added files", 4},
                                                             {"Deleted files", 0},
                                                             {"Added Folders", 0},
                                                             {"Deleted Folders", 2}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(quiet.counts()[i].label, expected[i].first);
        EXPECT_EQ(quiet.counts()[i].value, expected[i].second);
    }
    results.addProblem("Could not copy /s/a", "No space left on device");
    ReportModel troubled(results, true);
    EXPECT_TRUE(troubled.showsProblems() && troubled.closesAtOnce());
    EXPECT_EQ(troubled.problemLines().size(), 2u);
    EXPECT_TRUE(troubled.details().resultsMode());
}

TEST(ExclusionFilesModelTest, LostFilesRemovalsAndWildcards) {
    test::TempDir dir;
    const std::string kept = dir.writeFile("kept.txt", "x");
    const std::string folder = dir.makeFolder("folder") + "/";
    ExclusionSet set;
    set.addExplicit(kept);
    set.addExplicit(folder);
    set.addExplicit(dir.at("gone.txt"));
    set.addExplicit(dir.at("logs/a.log"));
    set.finish();
    std::string browseFolder;
    ExclusionFilesModel model(set, platform::realFileSystem(), browseFolder);

    // Only what is missing is lost; an existing folder written with its separator is found.
    EXPECT_EQ(model.lostFiles(), (std::vector<std::string>{dir.at("gone.txt"), dir.at("logs/a.log")}));
    EXPECT_TRUE(model.showsLostFiles());
    EXPECT_FALSE(model.canRemove() || model.canRemoveWildcard());
    EXPECT_EQ(model.browseStart(), model.working().explicitEntries().front()->fullPath());

    // A wildcard over logs/ and its caret line.
    const std::string pattern = dir.at("logs/*.log");
    EXPECT_EQ(model.addWildcard(pattern, "/somewhere/"), 0u);
    EXPECT_EQ(browseFolder, "/somewhere/");

    // Lost Files selects the lost lines. Removing only gone.txt also drops logs/a.log, which
    // the wildcard now covers.
    model.selectLost();
    EXPECT_EQ(model.explicitSelection().size(), 2u);
    EXPECT_TRUE(model.canRemove());
    const auto& lines = model.explicitLines();
    const auto gone = std::find(lines.begin(), lines.end(), dir.at("gone.txt"));
    ASSERT_NE(gone, lines.end());
    model.selectExplicit({static_cast<std::size_t>(gone - lines.begin())});
    model.remove();
    EXPECT_EQ(model.explicitLines(), (std::vector<std::string>{folder, kept}));
    EXPECT_FALSE(model.canRemove());
    model.selectLost(); // nothing lost is left
    EXPECT_TRUE(model.explicitSelection().empty());

    model.selectWildcards({0});
    model.removeWildcard();
    EXPECT_TRUE(model.wildcardLines().empty());
    EXPECT_EQ(model.explicitLines().size(), 2u);
}

} // namespace
} // namespace velmora
