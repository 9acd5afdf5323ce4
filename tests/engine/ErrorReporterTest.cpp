#include "engine/ErrorReporter.h"

#include "engine/LastReason.h"
#include "engine/RunLog.h"
#include "support/FakeFrontEnd.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class ErrorReporterTest : public testing::Test {
protected:
    std::string logText() {
        log.close();
        const std::string text = test::TempDir::readFile(dir.at("run.log"));
        return text.substr(text.find("Errors\n\n") + 8);
    }
    void openLog() {
        ASSERT_TRUE(log.open(dir.at("run.log"), false));
        log.sectionHeading("Errors");
    }

    test::TempDir dir;
    test::FakeFrontEnd frontEnd;
    LastReason reason;
    RunLog log;
    ErrorReporter reporter{frontEnd, log, reason};
};

TEST_F(ErrorReporterTest, ShowsMessageWithReasonAndNeverTheContext) {
    reporter.report("CSynchroniserDlg::loadProfileData", "Could not open file: /p/a.vmp");
    reason.set("Permission denied");
    reporter.report("CSynchroniserDlg::OnSynch12", "Could not do it", true);
    EXPECT_EQ(frontEnd.messages, (std::vector<std::string>{"Could not open file: /p/a.vmp",
                                                           "Could not do it\nPermission denied"}));
}

TEST_F(ErrorReporterTest, OpenLogReceivesContextAndMessageEvenWhenSilent) {
    openLog();
    reason.set("Timed out");
    reporter.report("CSynchroniserDlg::OnSynch12", "First", true);
    reporter.setSilent(true);
    reporter.report("BatchDlg::checkProfile", "Second");
    EXPECT_EQ(frontEnd.messages, std::vector<std::string>{"First\nTimed out"});
    EXPECT_EQ(logText(), "CSynchroniserDlg::OnSynch12: First\nTimed out\nBatchDlg::checkProfile: Second\n");
}

TEST_F(ErrorReporterTest, SilentWithoutLogShowsNothingButRefusalsAreAlwaysShown) {
    reporter.setSilent(true);
    reporter.report("CSynchroniserDlg::loadProfileData", "unseen");
    EXPECT_TRUE(frontEnd.messages.empty());
    reporter.reportAlwaysShown("CSynchroniserDlg::OnRunbatch",
                               "There is already a batch or synchronisation running");
    EXPECT_EQ(frontEnd.messages,
              std::vector<std::string>{"There is already a batch or synchronisation running"});
}

} // namespace
} // namespace velmora
