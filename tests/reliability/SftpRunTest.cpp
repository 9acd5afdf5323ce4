#include "CliChild.h"
#include "support/SshServer.h"
#include "support/TempDir.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace velmora::test {
namespace {

// The built command line against a private OpenSSH server on a loopback port: the login's keys
// and known_hosts live in a folder of the test (--ssh-dir), so nothing of the machine's own ssh
// set-up is read or changed.
class SftpRunTest : public testing::Test {
protected:
    void SetUp() override {
        if (!server.start())
            GTEST_SKIP() << "cannot start a private ssh server: " << server.whyNot();
        sshDir = dir.makeFolder("ssh");
        ASSERT_EQ(runShell("cp '" + server.userKey() + "' '" + sshDir + "/id_ed25519' && chmod 600 '" +
                           sshDir + "/id_ed25519'"),
                  0);
        trustServer();
    }
    void trustServer() { std::ofstream(sshDir + "/known_hosts") << server.knownHostsLine() << "\n"; }
    std::string remote(const std::string& localPath) const {
        return "sftp://root@127.0.0.1:" + std::to_string(server.port()) + localPath;
    }
    int run(std::vector<std::string> args, std::string* err = nullptr) {
        args.insert(args.begin(), "--ssh-dir=" + sshDir);
        CliChild child(dir, args);
        const int status = child.wait();
        if (err)
            *err = child.err();
        last = child.out() + child.err();
        return status;
    }
    std::vector<std::string> tree(const std::string& relative) const {
        std::vector<std::string> out;
        for (const std::string& path : dir.listTree())
            if (path.rfind(relative + "/", 0) == 0 && path != relative + "/")
                out.push_back(path.substr(relative.size() + 1));
        return out;
    }

    SshServer server;
    TempDir dir;
    std::string sshDir;
    std::string last;
};

// Each step runs against the trees the previous one left, as a user's runs do.
TEST_F(SftpRunTest, RunsToAndFromAServerMakeTheTreesMatch) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the private server logs in as root";
    dir.writeFile("src/a.txt", "alpha", 1'600'000'000);
    dir.writeFile("src/sub/b.txt", std::string(300'000, 'b'), 1'600'000'000);
    dir.writeFile("src/skip.tmp", "not this", 1'600'000'000);
    dir.makeFolder("dst");
    const std::string src = dir.at("src"), dst = dir.at("dst"), back = dir.at("back");
    struct Step {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> args;
        const char* counts; // the summary's lines that must be there
        const char* compareWith;
    };
    const Step steps[] = {
        {"initial copy to the server",
         [] {},
         {"--exclude=skip.tmp", src, remote(dst)},
         "Added files: 2\nDeleted files: 0\nAdded Folders: 1",
         "dst"},
        {"nothing to do",
         [] {},
         {"--exclude=skip.tmp", src, remote(dst)},
         "Overwritten files: 0\nAdded files: 0",
         "dst"},
        {"an overwrite and a delete",
         [&] {
             dir.writeFile("src/a.txt", "alpha, longer now", 1'700'000'000);
             ::unlink(dir.at("src/sub/b.txt").c_str());
         },
         {"--exclude=skip.tmp", src, remote(dst)},
         "Overwritten files: 1\nAdded files: 0\nDeleted files: 1",
         "dst"},
        {"back from the server",
         [] {},
         {remote(dst + "/"), back},
         "Added files: 1\nDeleted files: 0\nAdded Folders: 1",
         "back"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(run(step.args), 0) << last;
        EXPECT_NE(last.find(step.counts), std::string::npos) << last;
        std::vector<std::string> expected = tree("src");
        std::erase(expected, "skip.tmp");
        EXPECT_EQ(tree(step.compareWith), expected);
        EXPECT_EQ(TempDir::readFile(dir.at(std::string(step.compareWith) + "/a.txt")),
                  TempDir::readFile(dir.at("src/a.txt")));
    }
}

// What stands between the command line and the server, each refused with its reason and
// nothing written.
TEST_F(SftpRunTest, HostKeysAndUnreachableServersAreRefusedWithTheirReason) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the private server logs in as root";
    dir.writeFile("src/a.txt", "alpha");
    const std::string dst = dir.makeFolder("dst");
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::vector<std::string> extra;
        int status; // 0 or "not 0"
        const char* says;
    };
    const std::string otherKey = dir.at("other_key");
    ASSERT_EQ(runShell("ssh-keygen -q -t ed25519 -N '' -f '" + otherKey + "'"), 0);
    const Case cases[] = {
        {"an unknown key without a terminal",
         [&] { ::unlink((sshDir + "/known_hosts").c_str()); },
         {},
         1,
         "is not known"},
        {"an unknown key accepted on the command line",
         [&] { ::unlink((sshDir + "/known_hosts").c_str()); },
         {"--accept-new-host-key"},
         0,
         "Added files: 1"},
        {"a changed key, even with --accept-new-host-key",
         [&] {
             std::string line = server.knownHostsLine();
             line = line.substr(0, line.find(' ')) + " " + TempDir::readFile(otherKey + ".pub");
             std::ofstream(sshDir + "/known_hosts") << line;
         },
         {"--accept-new-host-key"},
         1,
         "has changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink((dst + "/a.txt").c_str());
        c.prepare();
        std::vector<std::string> args = c.extra;
        args.push_back(dir.at("src"));
        args.push_back(remote(dst));
        const int status = run(args);
        EXPECT_EQ(status != 0, c.status != 0) << last;
        EXPECT_NE(last.find(c.says), std::string::npos) << last;
        EXPECT_EQ(TempDir::exists(dst + "/a.txt"), c.status == 0);
    }
    // The accepted key was remembered; a later run needs no option.
    EXPECT_NE(TempDir::readFile(sshDir + "/known_hosts").find(server.knownHostsLine().substr(0, 20)),
              std::string::npos);

    const int closedPort = server.port();
    server.stop();
    const auto began = std::chrono::steady_clock::now();
    EXPECT_NE(
        run({"--timeout=5", dir.at("src"), "sftp://root@127.0.0.1:" + std::to_string(closedPort) + dst}), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
    EXPECT_NE(last.find("Could not connect to 127.0.0.1"), std::string::npos) << last;
}

// A server that goes away, or stops answering, in the middle of a run: the run ends, says what
// failed, and no file on the server has its real name without all of its bytes.
TEST_F(SftpRunTest, AServerThatGoesAwayMidRunEndsTheRunWithProblemsAndNoPartialFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the private server logs in as root";
    for (int i = 0; i < 16; ++i)
        dir.writeFile("src/file" + std::to_string(i) + ".bin",
                      std::string(4u << 20, static_cast<char>('a' + i % 26)));
    struct Case {
        const char* name;
        bool killed; // else paused (SIGSTOP): the connection stays open and nothing answers
        const char* reason;
    };
    // Paused first: the server answers again afterwards, for the run that sees it killed.
    const Case cases[] = {
        {"paused", false, "Timed out"},
        {"killed", true, "The connection to the server was lost"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dst = dir.makeFolder(std::string("dst-") + c.name);
        CliChild child(dir, {"--ssh-dir=" + sshDir, "--timeout=3", dir.at("src"), remote(dst)});
        for (int i = 0; i < 300 && tree(std::string("dst-") + c.name).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        c.killed ? server.kill() : server.pause();
        const auto began = std::chrono::steady_clock::now();
        while (!child.ended() && std::chrono::steady_clock::now() - began < std::chrono::seconds(60))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!c.killed)
            server.resume();
        ASSERT_TRUE(child.ended()) << "the run hangs on a server that " << c.name;
        EXPECT_EQ(child.wait(), 1) << child.out() << child.err();
        EXPECT_NE(child.err().find(c.reason), std::string::npos) << child.err();
        for (const std::string& name : tree(std::string("dst-") + c.name)) {
            if (name.find(".velmora-") != std::string::npos)
                continue; // a temporary name: never taken for the file
            EXPECT_EQ(TempDir::readFile(dst + "/" + name), TempDir::readFile(dir.at("src/" + name))) << name;
        }
    }
}

} // namespace
} // namespace velmora::test
