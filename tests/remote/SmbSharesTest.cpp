#include "smb/SmbFileSystem.h"
#include "support/SmbServer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::test {
namespace {

// What the Network node shows of a server: its file shares with their comments (the hidden IPC$
// left out).
TEST(SmbSharesTest, AServerListsItsFileSharesWithTheirComments) {
    SmbServer server;
    if (!server.start())
        GTEST_SKIP() << "cannot start a private Samba server: " << server.whyNot();
    const char* home = std::getenv("HOME");
    const std::string previousHome = home != nullptr ? home : "";
    ::setenv("HOME", server.clientHome().c_str(), 1);
    struct Case {
        const char* name;
        const char* password;
        int error;
    };
    for (const Case& c : {Case{"the right password", "velmora-test-1", 0},
                          Case{"a wrong one (a guest may list)", "nope", 0}}) {
        SCOPED_TRACE(c.name);
        smb::SmbLogin login;
        login.address.scheme = "smb";
        login.address.host = "127.0.0.1";
        login.address.port = static_cast<std::uint16_t>(server.port());
        login.credentials = smb::SmbCredentials{"root", "", c.password};
        login.timeoutSeconds = 5;
        std::vector<smb::ShareInfo> shares;
        ASSERT_EQ(smb::listShares(login, shares), c.error);
        if (c.error != 0)
            continue;
        ASSERT_EQ(shares.size(), 1u);
        EXPECT_EQ(shares[0].name, "data");
        EXPECT_EQ(shares[0].comment, "Files of the tests");
    }
    ::setenv("HOME", previousHome.c_str(), 1);
}

// Credentials the share refuses are asked for again, and the share says which answer it took.
TEST(SmbSharesTest, RefusedCredentialsAreAskedAgainAndTheVerdictTold) {
    SmbServer server;
    if (!server.start())
        GTEST_SKIP() << "cannot start a private Samba server: " << server.whyNot();
    const char* home = std::getenv("HOME");
    const std::string previousHome = home != nullptr ? home : "";
    ::setenv("HOME", server.clientHome().c_str(), 1);
    smb::SmbLogin login;
    login.address.scheme = "smb";
    login.address.host = "127.0.0.1";
    login.address.port = static_cast<std::uint16_t>(server.port());
    login.address.path = "/data/";
    login.timeoutSeconds = 5;
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
    ::setenv("HOME", previousHome.c_str(), 1);
}

} // namespace
} // namespace velmora::test
