#include "smb/SmbFileSystem.h"
#include "support/SmbServer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::test {
namespace {

// A private server, with the client's HOME pointing at its private client configuration.
class SmbSharesTest : public testing::Test {
protected:
    void SetUp() override {
        if (!server.start())
            GTEST_SKIP() << "cannot start a private Samba server: " << server.whyNot();
        const char* home = std::getenv("HOME");
        previousHome_ = home != nullptr ? home : "";
        ::setenv("HOME", server.clientHome().c_str(), 1);
    }
    void TearDown() override {
        if (!previousHome_.empty())
            ::setenv("HOME", previousHome_.c_str(), 1);
    }
    smb::SmbLogin serverLogin() const {
        smb::SmbLogin login;
        login.address.scheme = "smb";
        login.address.host = "127.0.0.1";
        login.address.port = static_cast<std::uint16_t>(server.port());
        login.timeoutSeconds = 5;
        return login;
    }

    SmbServer server;

private:
    std::string previousHome_;
};

// What the Network node shows of a server: its file shares with their comments (the hidden IPC$
// left out).
TEST_F(SmbSharesTest, AServerListsItsFileSharesWithTheirComments) {
    struct Case {
        const char* name;
        const char* password;
        int error;
    };
    for (const Case& c : {Case{"the right password", "velmora-test-1", 0},
                          Case{"a wrong one (a guest may list)", "nope", 0}}) {
        SCOPED_TRACE(c.name);
        smb::SmbLogin login = serverLogin();
        login.credentials = smb::SmbCredentials{"root", "", c.password};
        std::vector<smb::ShareInfo> shares;
        ASSERT_EQ(smb::listShares(login, shares), c.error);
        if (c.error != 0)
            continue;
        ASSERT_EQ(shares.size(), 1u);
        EXPECT_EQ(shares[0].name, "data");
        EXPECT_EQ(shares[0].comment, "Files of the tests");
    }
}

// Credentials the share refuses are asked for again, and the share says which answer it took.
TEST_F(SmbSharesTest, RefusedCredentialsAreAskedAgainAndTheVerdictTold) {
    smb::SmbLogin login = serverLogin();
    login.address.path = "/data/";
    std::vector<std::string> answers = {"nope", "velmora-test-1"};
    std::vector<bool> verdicts;
    login.askCredentials = [&](const std::string&) -> std::optional<smb::SmbCredentials> {
        if (answers.empty())
            return std::nullopt;
        const std::string password = answers.front();
        answers.erase(answers.begin());
        return smb::SmbCredentials{"root", "", password};
    };
    login.credentialsAnswered = [&](bool accepted) { verdicts.push_back(accepted); };
    std::string error;
    EXPECT_TRUE(smb::SmbFileSystem::connect(login, error)) << error;
    EXPECT_EQ(verdicts, (std::vector<bool>{false, true}));
}

} // namespace
} // namespace velmora::test
