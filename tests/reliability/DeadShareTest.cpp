// A location on a real network share whose server stops answering: sshfs served by an SFTP
// server that the test stops with SIGSTOP. The run gives up after the command timeout with its
// report, however long the share stays silent.
#include "CliChild.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSftpServer = "/usr/lib/openssh/sftp-server";

// An sshfs mount of `served` at `mountPoint` whose "ssh" is a script that starts the SFTP server
// itself, so that no network and no ssh daemon is involved and the server's process is known.
class SilentableShare {
public:
    SilentableShare(TempDir& dir, const std::string& served, const std::string& mountPoint)
        : dir_(dir), mountPoint_(mountPoint) {
        if (::access("/usr/bin/sshfs", X_OK) != 0 || ::access(kSftpServer, X_OK) != 0) {
            why_ = "sshfs or the SFTP server is not installed";
            return;
        }
        dir.writeFile("fake-ssh",
                      "#!/bin/sh\necho $$ > " + dir.at("server.pid") + "\nexec " + kSftpServer + "\n");
        dir.setMode("fake-ssh", 0755);
        const std::string command = "sshfs -o ssh_command=" + dir.at("fake-ssh") +
                                    ",dir_cache=no,entry_timeout=0,attr_timeout=0 localhost:" + served + " " +
                                    mountPoint + " 2>" + dir.at("sshfs.err");
        if (std::system(command.c_str()) != 0) {
            why_ = "sshfs could not mount: " + TempDir::readFile(dir.at("sshfs.err"));
            return;
        }
        mounted_ = true;
        server_ = std::atoi(TempDir::readFile(dir.at("server.pid")).c_str());
    }
    ~SilentableShare() {
        answer();
        if (mounted_)
            std::system(("fusermount -u -z " + mountPoint_ + " 2>/dev/null").c_str());
    }
    SilentableShare(const SilentableShare&) = delete;
    SilentableShare& operator=(const SilentableShare&) = delete;

    // Empty when the share is up.
    const std::string& whyNot() const { return why_; }
    void silence() { ::kill(server_, SIGSTOP); }
    void answer() {
        if (server_ > 0)
            ::kill(server_, SIGCONT);
    }

private:
    TempDir& dir_;
    std::string mountPoint_;
    std::string why_;
    bool mounted_ = false;
    pid_t server_ = 0;
};

TEST(DeadShareTest, ARunOntoAShareThatStoppedAnsweringReportsWithinTheTimeout) {
    TempDir dir;
    dir.writeFile("src/a.txt", "a");
    dir.writeFile("share/t/old.txt", "old");
    dir.makeFolder("mnt");
    SilentableShare share(dir, dir.at("share"), dir.at("mnt"));
    if (!share.whyNot().empty())
        GTEST_SKIP() << share.whyNot();
    ASSERT_TRUE(TempDir::exists(dir.at("mnt/t/old.txt")));
    std::this_thread::sleep_for(100ms); // nothing of the share left in the kernel's caches

    share.silence();
    CliChild child(dir, {"--yes", "--timeout=3", dir.at("src"), dir.at("mnt/t")});
    // The report comes after the timeout; the program itself may end only once the share answers,
    // since the kernel holds the call that never came back.
    const auto errorsSoFar = [&child]() -> std::string {
        try {
            return child.err();
        } catch (const std::exception&) {
            return {}; // not created yet
        }
    };
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (errorsSoFar().find("Timed out") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    const std::string err = errorsSoFar();
    share.answer();
    EXPECT_EQ(child.wait(), 2) << err;
    EXPECT_TRUE(child.out().starts_with("Synchronisation failed\n")) << child.out();
    EXPECT_NE(err.find("CSynchroniserDlg::synchronise: Could not access folder: " + dir.at("mnt/t/") +
                       "\n  Timed out\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(TempDir::readFile(dir.at("share/t/old.txt")), "old");
    EXPECT_FALSE(TempDir::exists(dir.at("share/t/a.txt")));
}

} // namespace
} // namespace velmora::test
