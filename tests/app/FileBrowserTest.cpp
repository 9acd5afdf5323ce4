#include "app/FileBrowser.h"

#include "engine/ErrorReporter.h"
#include "engine/FileCommand.h"
#include "engine/LastReason.h"
#include "engine/RunLog.h"
#include "platform/Environment.h"
#include "support/FakeFrontEnd.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class FileBrowserTest : public testing::Test {
protected:
    FileBrowserTest() {
        dir.writeFile("a.txt", "a");
        dir.writeFile("ro.txt", "r");
        dir.setMode("ro.txt", 0444);
        dir.writeFile("tree/x.txt", "x");
        dir.writeFile("tree/ro1.txt", "1");
        dir.setMode("tree/ro1.txt", 0444);
        dir.writeFile("tree/sub/ro2.txt", "2");
        dir.setMode("tree/sub/ro2.txt", 0444);
        dir.writeFile("tree/sub/y.txt", "y");
        EXPECT_TRUE(browser.showFolder(dir.path()));
    }
    FileItemPtr item(const std::string& name) {
        for (const FileItemPtr& shown : browser.items())
            if (shown->name == name)
                return shown;
        return nullptr;
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const auto& asked : frontEnd.confirmations)
            out.push_back(asked.caption + ": " + asked.lines[0].substr(asked.lines[0].rfind('/') + 1));
        return out;
    }

    test::TempDir dir;
    test::FakeFrontEnd frontEnd;
    test::FaultyFileSystem fileSystem;
    LastReason reason;
    RunLog log;
    ErrorReporter reporter{frontEnd, log, reason};
    std::atomic<bool> stop{false};
    FileCommands commands{fileSystem, frontEnd, stop, reason};
    FileBrowser browser{{fileSystem, frontEnd, reporter, commands, stop}};
};

TEST_F(FileBrowserTest, ListsFoldersFirstAndReportsUnreadableFoldersWithoutMoving) {
    std::vector<std::string> names;
    for (const FileItemPtr& shown : browser.items())
        names.push_back(shown->name);
    EXPECT_EQ(names, (std::vector<std::string>{"tree", "a.txt", "ro.txt"}));
    EXPECT_TRUE(browser.enterFolder(*item("tree")));
    EXPECT_EQ(browser.currentFolder(), dir.at("tree/"));
    fileSystem.failOn(test::FsOp::ListFolder, EACCES);
    EXPECT_FALSE(browser.upOneFolder());
    EXPECT_EQ(browser.currentFolder(), dir.at("tree/"));
    EXPECT_FALSE(browser.showFolder(dir.at("missing")));
    // A mount that stopped answering: the window waits no longer than the command timeout.
    commands.setTimeout(1);
    fileSystem.hang(test::FsOp::ListFolder);
    EXPECT_FALSE(browser.reload());
    fileSystem.release();
    EXPECT_EQ(browser.currentFolder(), dir.at("tree/"));
    EXPECT_EQ(frontEnd.messages,
              (std::vector<std::string>{
                  "Could not get directory listing for: " + dir.path() + "\nPermission denied",
                  "Failed to read directory: " + dir.at("missing/") + "\nNo such file or directory",
                  "Failed to read directory listing for: " + dir.at("tree/") + "\nTimed out"}));
    EXPECT_TRUE(browser.upOneFolder());
    EXPECT_EQ(browser.currentFolder(), dir.path());
}

TEST_F(FileBrowserTest, FolderAsksOnceThenOnlyReadOnlyEntriesAndYesToAllCoversLaterReadOnlyFiles) {
    frontEnd.deleteAnswers = {DeleteAnswer::Yes, DeleteAnswer::YesToAll, DeleteAnswer::Yes};
    EXPECT_TRUE(browser.deleteItems({item("tree"), item("ro.txt"), item("a.txt")}));
    // ro2.txt and ro.txt are covered by Yes To All on ro1.txt; a.txt's plain question is still asked.
    EXPECT_EQ(captions(), (std::vector<std::string>{"Delete Folder: ", "Delete Read Only File: ro1.txt",
                                                    "Delete File: a.txt"}));
    EXPECT_TRUE(dir.listTree().empty());
    EXPECT_TRUE(browser.items().empty());
}

TEST_F(FileBrowserTest, CancelStopsTheCommandAndSilentModeAnswersYes) {
    frontEnd.deleteAnswers = {DeleteAnswer::No, DeleteAnswer::Cancel};
    EXPECT_FALSE(browser.deleteItems({item("a.txt"), item("ro.txt"), item("tree")}));
    EXPECT_EQ(captions(), (std::vector<std::string>{"Delete File: a.txt", "Delete Read Only File: ro.txt"}));
    EXPECT_EQ(browser.items().size(), 3u);

    reporter.setSilent(true);
    EXPECT_TRUE(browser.deleteItems({item("ro.txt"), item("tree")}));
    EXPECT_EQ(frontEnd.confirmations.size(), 2u);
    EXPECT_EQ(dir.listTree(), std::vector<std::string>{"a.txt"});
}

TEST_F(FileBrowserTest, ReadOnlyFileWhoseDeleteFailsKeepsItsReadOnlyBit) {
    fileSystem.failOn(test::FsOp::DeleteFile, EIO);
    EXPECT_FALSE(browser.deleteItems({item("ro.txt"), item("a.txt")}));
    platform::FileAttributes attributes;
    ASSERT_EQ(platform::realFileSystem().getAttributes(dir.at("ro.txt"), attributes), 0);
    EXPECT_TRUE(attributes.readOnly);
    EXPECT_TRUE(test::TempDir::exists(dir.at("a.txt")));
    ASSERT_EQ(frontEnd.messages.size(), 1u);
    EXPECT_EQ(frontEnd.messages[0].substr(0, 30), "Could not delete file: ro.txt\n");
}

TEST_F(FileBrowserTest, CreateAndRenameRefuseBadOrTakenNames) {
    EXPECT_TRUE(browser.createFolder("new"));
    EXPECT_TRUE(browser.createFolder("new")); // an existing folder is a success
    EXPECT_FALSE(browser.createFolder("a.txt"));
    EXPECT_NE(item("new"), nullptr);

    FileItemPtr renamed;
    EXPECT_FALSE(browser.rename(*item("a.txt"), "ro.txt"));
    EXPECT_FALSE(browser.rename(*item("a.txt"), "x/y"));
    EXPECT_EQ(test::TempDir::readFile(dir.at("ro.txt")), "r");
    EXPECT_TRUE(browser.rename(*item("new"), "newer", &renamed));
    EXPECT_EQ(renamed->fullPath(), dir.at("newer"));
    EXPECT_NE(item("newer"), nullptr);
    ASSERT_EQ(frontEnd.messages.size(), 3u);
    EXPECT_EQ(frontEnd.messages[0].substr(0, 28), "Could not create directory: ");
    EXPECT_EQ(frontEnd.messages[1].substr(0, 25), "Failed to rename: a.txt\nF");
}

// The trash first; when it cannot take the item, the user decides, and a hurried Enter keeps it.
TEST_F(FileBrowserTest, WhatTheTrashCannotTakeIsDeletedForGoodOnlyWhenTheUserSaysSo) {
    struct Case {
        const char* name;
        bool trashUsable;
        std::deque<bool> answers;
        bool gone;
        const char* inTrash; // "" when the trash holds nothing
    };
    const Case cases[] = {
        {"the trash takes it without a question", true, {}, true, "Trash/files/tree/sub/y.txt"},
        {"no trash, the user keeps it", false, {false}, false, ""},
        {"no trash, the user deletes it for good", false, {true}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir data;
        dir.writeFile("tree/sub/y.txt", "y");
        if (!c.trashUsable)
            data.writeFile("Trash", "a file where the trash should be");
        const std::string previous = platform::environmentValue("XDG_DATA_HOME");
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        frontEnd.cautiousQuestions.clear();
        frontEnd.questionAnswers = c.answers;
        DeleteQuestions questions(frontEnd, false);
        const bool gone = browser.trashOrDelete(dir.at("tree"), questions);
        if (previous.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", previous.c_str(), 1);
        EXPECT_EQ(gone, c.gone);
        EXPECT_EQ(test::TempDir::exists(dir.at("tree/sub/y.txt")), !c.gone);
        if (*c.inTrash) {
            EXPECT_EQ(test::TempDir::readFile(data.at(c.inTrash)), "y");
        }
        ASSERT_EQ(frontEnd.cautiousQuestions.size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(frontEnd.cautiousQuestions[0].rfind(
                          "Could not move to the trash: " + dir.at("tree") + "\n", 0),
                      0u)
                << frontEnd.cautiousQuestions[0];
        }
    }
}

} // namespace
} // namespace velmora
