#include "engine/DeleteConfirmation.h"
#include "support/FakeFrontEnd.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using Result = DeleteConfirmation::Result;

TEST(DeleteConfirmationTest, SplitsTextIntoFourLinesOf120) {
    const std::string text = std::string(120, 'a') + std::string(120, 'b') + std::string(60, 'c');
    const auto lines = DeleteConfirmation::splitLines(text);
    EXPECT_EQ(lines[0], std::string(120, 'a'));
    EXPECT_EQ(lines[1], std::string(120, 'b'));
    EXPECT_EQ(lines[2], std::string(60, 'c'));
    EXPECT_EQ(lines[3], "");

    const auto longer = DeleteConfirmation::splitLines(std::string(500, 'x'));
    for (const std::string& line : longer)
        EXPECT_EQ(line, std::string(120, 'x')); // the last 20 are dropped
    EXPECT_EQ(DeleteConfirmation::splitLines(""), (std::array<std::string, 4>{}));
}

// Lines are cut by characters: a two-, three- or four-byte character is never split, and a byte
// that is not UTF-8 counts as one character.
TEST(DeleteConfirmationTest, LinesAreCutByCharactersNeverInsideOne) {
    const struct {
        std::string character;
    } cases[] = {{"\xC3\xA9"}, {"\xE2\x82\xAC"}, {"\xF0\x9F\x93\x81"}, {"\xFF"}};
    for (const auto& c : cases) {
        std::string text = std::string(119, 'a');
        for (int i = 0; i < 130; ++i)
            text += c.character;
        const auto lines = DeleteConfirmation::splitLines(text);
        EXPECT_EQ(lines[0], std::string(119, 'a') + c.character) << c.character.size();
        std::string second;
        for (int i = 0; i < 120; ++i)
            second += c.character;
        EXPECT_EQ(lines[1], second);
    }
}

TEST(DeleteConfirmationTest, AnswersMapToGoAheadSkipOrCancel) {
    test::FakeFrontEnd frontEnd;
    frontEnd.deleteAnswers = {DeleteAnswer::Yes, DeleteAnswer::No, DeleteAnswer::Cancel};
    DeleteConfirmation confirmation(frontEnd, false);
    bool yes = false, no = false;
    EXPECT_EQ(confirmation.ask("Delete File", "Delete file: /a", yes, no), Result::GoAhead);
    EXPECT_EQ(confirmation.ask("Delete File", "Delete file: /b", yes, no), Result::Skip);
    EXPECT_EQ(confirmation.ask("Delete File", "Delete file: /c", yes, no), Result::CancelRun);
    EXPECT_FALSE(yes || no);
    ASSERT_EQ(frontEnd.confirmations.size(), 3u);
    EXPECT_EQ(frontEnd.confirmations[0].caption, "Delete File");
    EXPECT_EQ(frontEnd.confirmations[1].lines[0], "Delete file: /b");
}

TEST(DeleteConfirmationTest, ToAllAnswersAreRememberedInTheGivenFlags) {
    test::FakeFrontEnd frontEnd;
    frontEnd.deleteAnswers = {DeleteAnswer::YesToAll, DeleteAnswer::NoToAll};
    DeleteConfirmation confirmation(frontEnd, false);
    bool yesFiles = false, noFiles = false, yesFolders = false, noFolders = false;

    EXPECT_EQ(confirmation.ask("Delete File", "f1", yesFiles, noFiles), Result::GoAhead);
    EXPECT_TRUE(yesFiles);
    EXPECT_EQ(confirmation.ask("Delete File", "f2", yesFiles, noFiles), Result::GoAhead);
    EXPECT_EQ(frontEnd.confirmations.size(), 1u);

    EXPECT_EQ(confirmation.ask("Delete Sub-Folder", "d1", yesFolders, noFolders), Result::Skip);
    EXPECT_TRUE(noFolders);
    EXPECT_EQ(confirmation.ask("Delete Sub-Folder", "d2", yesFolders, noFolders), Result::Skip);
    EXPECT_EQ(frontEnd.confirmations.size(), 2u);
}

TEST(DeleteConfirmationTest, SilentModeGoesAheadWithoutAsking) {
    test::FakeFrontEnd frontEnd;
    frontEnd.deleteAnswers = {DeleteAnswer::Cancel};
    DeleteConfirmation confirmation(frontEnd, true);
    bool yes = false, no = true; // silence wins even over an earlier No To All
    EXPECT_EQ(confirmation.ask("Delete File", "f", yes, no), Result::GoAhead);
    EXPECT_TRUE(frontEnd.confirmations.empty());
}

} // namespace
} // namespace velmora
