#include "platform/ErrorText.h"

#include <cerrno>
#include <gtest/gtest.h>

using velmora::platform::errorText;

TEST(ErrorText, GivesTheSystemTextOrOurOwnWordsWhenThereIsNone) {
    EXPECT_EQ(errorText(EACCES), "Permission denied");
    EXPECT_EQ(errorText(ENOENT), "No such file or directory");
    EXPECT_EQ(errorText(0), "Reason not known");
    EXPECT_EQ(errorText(-5), "Reason not known");
    EXPECT_EQ(errorText(987654), "Reason not known");
}
