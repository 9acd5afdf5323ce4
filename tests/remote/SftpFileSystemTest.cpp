#include "sftp/SftpFileSystem.h"

#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "remote/RoutingFileSystem.h"
#include "support/SshServer.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {
namespace {

// The SFTP file system's own rules, against a private server: the same refusals a local copy
// makes, on the server's side of the wire.
class SftpFileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the private server logs in as root";
        if (!server.start())
            GTEST_SKIP() << "cannot start a private ssh server: " << server.whyNot();
        const std::string ssh = dir.makeFolder("ssh");
        ASSERT_EQ(runShell("cp '" + server.userKey() + "' '" + ssh + "/id_ed25519'"), 0);
        std::ofstream(ssh + "/known_hosts") << server.knownHostsLine() << "\n";
        const sftp::SftpLogin login = rootLogin(ssh);
        std::string error;
        std::shared_ptr<platform::FileSystem> connected = sftp::SftpFileSystem::connect(login, error);
        ASSERT_TRUE(connected) << error;
        routed.addServer(prefix(), connected);
    }
    sftp::SftpLogin rootLogin(const std::string& sshFolder) const {
        sftp::SftpLogin login;
        login.address.user = "root";
        login.address.host = "127.0.0.1";
        login.address.port = static_cast<std::uint16_t>(server.port());
        login.sshFolder = sshFolder;
        login.timeoutSeconds = 5;
        return login;
    }
    std::string prefix() const { return "sftp://root@127.0.0.1:" + std::to_string(server.port()); }

    SshServer server;
    TempDir dir;
    remote::RoutingFileSystem routed{platform::realFileSystem()};
};

class SftpPasswordTest : public SftpFileSystemTest {
protected:
    void SetUp() override {
        server.acceptPasswords();
        SftpFileSystemTest::SetUp();
    }
};

// Without a key that gets in, the password is asked again while the server refuses it, up to
// three times, each refusal told; giving up asks no more. A server that takes keys alone is never
// asked a password.
TEST_F(SftpFileSystemTest, AServerThatTakesOnlyKeysIsNeverAskedAPassword) {
    const char* agent = std::getenv("SSH_AUTH_SOCK");
    const std::string savedAgent = agent != nullptr ? agent : "";
    ::unsetenv("SSH_AUTH_SOCK");
    const std::string ssh = dir.makeFolder("no-keys");
    std::ofstream(ssh + "/known_hosts") << server.knownHostsLine() << "\n";
    sftp::SftpLogin login = rootLogin(ssh);
    int asked = 0;
    login.askPassword = [&](const std::string&) -> std::optional<std::string> {
        ++asked;
        return "not-the-password";
    };
    std::string error;
    EXPECT_FALSE(sftp::SftpFileSystem::connect(login, error));
    EXPECT_EQ(asked, 0);
    EXPECT_NE(error.find("publickey"), std::string::npos) << error;
    if (!savedAgent.empty())
        ::setenv("SSH_AUTH_SOCK", savedAgent.c_str(), 1);
}

TEST_F(SftpPasswordTest, ARefusedPasswordIsAskedAgainAndEachRefusalTold) {
    const char* agent = std::getenv("SSH_AUTH_SOCK");
    const std::string savedAgent = agent != nullptr ? agent : "";
    ::unsetenv("SSH_AUTH_SOCK"); // no key of the user's agent either
    const std::string ssh = dir.makeFolder("no-keys");
    std::ofstream(ssh + "/known_hosts") << server.knownHostsLine() << "\n";
    struct Case {
        const char* name;
        bool giveUp;
        int asked;
    };
    for (const Case& c : {Case{"always a wrong one", false, 3}, Case{"given up at once", true, 1}}) {
        SCOPED_TRACE(c.name);
        sftp::SftpLogin login = rootLogin(ssh);
        int asked = 0;
        std::vector<bool> verdicts;
        login.askPassword = [&](const std::string&) -> std::optional<std::string> {
            ++asked;
            return c.giveUp ? std::nullopt : std::optional<std::string>("not-the-password");
        };
        login.passwordAnswered = [&](bool accepted) { verdicts.push_back(accepted); };
        std::string error;
        EXPECT_FALSE(sftp::SftpFileSystem::connect(login, error));
        EXPECT_NE(error.find("did not accept the login"), std::string::npos) << error;
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(verdicts, std::vector<bool>(static_cast<std::size_t>(c.giveUp ? 0 : 3), false));
    }
    if (!savedAgent.empty())
        ::setenv("SSH_AUTH_SOCK", savedAgent.c_str(), 1);
}

TEST_F(SftpFileSystemTest, CopiesToTheServerKeepTheRulesOfALocalCopy) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        bool failIfExists;
        bool allowReadOnly;
        std::optional<platform::SeenTarget> seen;
        int error;
        const char* left; // what the target holds afterwards
    };
    const std::string target = dir.at("dst/file.txt");
    auto existing = [&](unsigned mode) {
        return [&, mode] {
            dir.writeFile("dst/file.txt", "old", 1'600'000'000);
            ::chmod(target.c_str(), mode);
        };
    };
    const Case cases[] = {
        {"a new file", [] {}, false, false, std::nullopt, 0, "new content"},
        {"an overwrite", existing(0644), false, false, std::nullopt, 0, "new content"},
        {"a name that had to stay free", existing(0644), true, false, std::nullopt, EEXIST, "old"},
        {"a name the run saw free, taken since", existing(0644), false, false,
         platform::SeenTarget{false, 0, {}}, platform::kChangedAfterAnalysis, "old"},
        {"a target changed since the run saw it", existing(0644), false, false,
         platform::SeenTarget{true, 99, 1'600'000'000}, platform::kChangedAfterAnalysis, "old"},
        {"the target the run saw", existing(0644), false, false, platform::SeenTarget{true, 3, 1'600'000'000},
         0, "new content"},
        {"a read-only target", existing(0444), false, false, std::nullopt, EACCES, "old"},
        {"a read-only target, allowed", existing(0444), false, true, std::nullopt, 0, "new content"},
    };
    dir.writeFile("src/file.txt", "new content", 1'650'000'000);
    dir.setMode("src/file.txt", 0640);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink(target.c_str());
        dir.makeFolder("dst");
        c.prepare();
        const int error = routed.copyFile(dir.at("src/file.txt"), prefix() + target, c.failIfExists, nullptr,
                                          c.allowReadOnly, c.seen ? &*c.seen : nullptr);
        EXPECT_EQ(error, c.error) << platform::errorText(error);
        EXPECT_EQ(TempDir::readFile(target), c.left);
        EXPECT_EQ(dir.temporaryFiles("dst"), std::vector<std::string>{});
        if (c.error == 0) {
            struct stat info {};
            ASSERT_EQ(::stat(target.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0640u);
            EXPECT_EQ(info.st_mtime, 1'650'000'000);
        }
    }
}

TEST_F(SftpFileSystemTest, LinksAndFoldersAreNotCopiedAndListingsSayWhatTheyAre) {
    dir.writeFile("remote/plain.txt", "x", 1'600'000'000);
    dir.makeLink("remote/link", "plain.txt");
    dir.makeFolder("remote/folder");
    ::mkfifo(dir.at("remote/fifo").c_str(), 0600);
    std::vector<std::string> seen;
    ASSERT_EQ(routed.listFolder(prefix() + dir.at("remote/"),
                                [&](const platform::DirEntry& entry) {
                                    seen.push_back(entry.name + (entry.isDirectory ? "/" : "") +
                                                   (entry.isLink ? "@" : "") + " " +
                                                   std::to_string(entry.modifiedSeconds * !entry.isDirectory *
                                                                  !entry.isLink));
                                    return true;
                                }),
              0);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"folder/ 0", "link@ 0", "plain.txt 1600000000"}));
    EXPECT_EQ(routed.copyFile(prefix() + dir.at("remote/link"), dir.at("here"), false), ENOTSUP);
    EXPECT_EQ(routed.copyFile(prefix() + dir.at("remote/folder"), dir.at("here"), false), EISDIR);
    EXPECT_FALSE(TempDir::exists(dir.at("here")));
    // Both ends on the server: one session carries both halves.
    EXPECT_EQ(
        routed.copyFile(prefix() + dir.at("remote/plain.txt"), prefix() + dir.at("remote/copy.txt"), true),
        0);
    EXPECT_EQ(TempDir::readFile(dir.at("remote/copy.txt")), "x");
    EXPECT_EQ(
        routed.listFolder(prefix() + dir.at("missing/"), [](const platform::DirEntry&) { return true; }),
        ENOENT);
    EXPECT_EQ(routed.listFolder("sftp://nobody@elsewhere/x/", [](const platform::DirEntry&) { return true; }),
              EHOSTUNREACH);
}

} // namespace
} // namespace velmora::test
