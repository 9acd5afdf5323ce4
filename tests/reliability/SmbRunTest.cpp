#include "CliChild.h"
#include "support/SmbServer.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace velmora::test {
namespace {

// The built command line against a private smbd on a loopback port; the client reads only the
// private client configuration (HOME points at it for the run).
class SmbRunTest : public testing::Test {
protected:
    void SetUp() override {
        if (!server.start())
            GTEST_SKIP() << "cannot start a private Samba server: " << server.whyNot();
        if (const char* home = std::getenv("HOME"))
            previousHome = home;
        ::setenv("HOME", server.clientHome().c_str(), 1);
    }
    void TearDown() override {
        if (!previousHome.empty())
            ::setenv("HOME", previousHome.c_str(), 1);
    }
    int run(std::vector<std::string> args) {
        CliChild child(dir, args);
        const int status = child.wait();
        last = child.out() + child.err();
        return status;
    }
    std::string onShare(const std::string& relative) const { return server.shareFolder() + "/" + relative; }
    std::vector<std::string> shareTree() const {
        std::vector<std::string> out;
        std::error_code error;
        const std::filesystem::path root = onShare("backup");
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            out.push_back(it->path().lexically_relative(root).string());
        std::sort(out.begin(), out.end());
        return out;
    }

    SmbServer server;
    TempDir dir;
    std::string previousHome;
    std::string last;
};

// Each step runs against what the previous one left, as a user's runs do.
TEST_F(SmbRunTest, RunsToAndFromAShareMakeTheTreesMatch) {
    dir.writeFile("src/a.txt", "alpha", 1'600'000'000);
    dir.writeFile("src/Notes.md", "notes", 1'600'000'000);
    dir.writeFile("src/sub/b.bin", std::string(3u << 20, 'b'), 1'600'000'000);
    dir.writeFile("src/locked.txt", "keep me", 1'600'000'000);
    dir.setMode("src/locked.txt", 0444);
    const std::string credentials = "--credentials=" + server.credentialsFile();
    const std::string share = server.shareUrl() + "/backup/";
    const std::string src = dir.at("src");
    struct Step {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Step steps[] = {
        {"initial copy to the share", [] {}, {credentials, src, share}, 0, "Added files: 4"},
        {"nothing to do",
         [] {},
         {credentials, src, share},
         0,
         "Overwritten files: 0\nAdded files: 0\nDeleted files: 0"},
        {"a name differing in case alone is the same file",
         [&] { ::rename(onShare("backup/Notes.md").c_str(), onShare("backup/NOTES.MD").c_str()); },
         {credentials, src, share},
         0,
         "Added files: 0\nDeleted files: 0"},
        {"an overwrite and a delete",
         [&] {
             dir.writeFile("src/a.txt", "alpha, longer now", 1'700'000'000);
             ::unlink(dir.at("src/sub/b.bin").c_str());
         },
         {credentials, src, share},
         0,
         "Overwritten files: 1\nAdded files: 0\nDeleted files: 1"},
        {"a read-only file on the share is left alone",
         [&] {
             dir.setMode("src/locked.txt", 0644);
             dir.writeFile("src/locked.txt", "newer", 1'700'000'000);
         },
         {credentials, src, share},
         1,
         "Overwritten files: 0"},
        {"and overwritten when allowed",
         [] {},
         {credentials, "--overwrite-read-only", src, share},
         0,
         "Overwritten files: 1"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(run(step.args), step.status) << last;
        EXPECT_NE(last.find(step.says), std::string::npos) << last;
    }
    EXPECT_EQ(TempDir::readFile(onShare("backup/a.txt")), "alpha, longer now");
    EXPECT_EQ(TempDir::readFile(onShare("backup/locked.txt")), "newer");
    EXPECT_EQ(shareTree(), (std::vector<std::string>{"NOTES.MD", "a.txt", "locked.txt", "sub"}));

    // Back from the share into an empty folder: the same files, the same times.
    EXPECT_EQ(run({credentials, share, dir.at("back")}), 0) << last;
    EXPECT_EQ(TempDir::readFile(dir.at("back/a.txt")), "alpha, longer now");
    struct stat info {};
    ASSERT_EQ(::stat(dir.at("back/a.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1'700'000'000);
}

// What keeps the command line from a share: each refused with its reason, nothing written.
TEST_F(SmbRunTest, WrongOrOpenCredentialsAreRefusedWithTheirReason) {
    dir.writeFile("src/a.txt", "alpha");
    const std::string wrong = dir.writeFile("wrong", "username=root\npassword=not-this-one\n");
    dir.setMode("wrong", 0600);
    const std::string open = dir.writeFile("open", "username=root\npassword=velmora-test-1\n");
    dir.setMode("open", 0644);
    struct Case {
        const char* name;
        std::string file;
        const char* says;
    };
    const Case cases[] = {
        {"a wrong password", wrong, "did not accept the user name and password"},
        {"a file others may read", open, "may be read by other users"},
        {"no file and no terminal: a guest, refused", "", "did not accept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args;
        if (!c.file.empty())
            args.push_back("--credentials=" + c.file);
        args.push_back(dir.at("src"));
        args.push_back(server.shareUrl() + "/backup/");
        EXPECT_EQ(run(args), 2) << last;
        EXPECT_NE(last.find(c.says), std::string::npos) << last;
        EXPECT_FALSE(TempDir::exists(onShare("backup")));
    }
}

// A server that stops answering mid-run: the run ends with the reason, nothing under a real name
// lacks bytes.
TEST_F(SmbRunTest, AServerThatStopsAnsweringMidRunEndsTheRunWithProblems) {
    for (int i = 0; i < 12; ++i)
        dir.writeFile("src/file" + std::to_string(i) + ".bin",
                      std::string(4u << 20, static_cast<char>('a' + i)));
    CliChild child(dir, {"--credentials=" + server.credentialsFile(), "--timeout=3", dir.at("src"),
                         server.shareUrl() + "/backup/"});
    for (int i = 0; i < 500 && shareTree().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server.pause();
    const auto began = std::chrono::steady_clock::now();
    while (!child.ended() && std::chrono::steady_clock::now() - began < std::chrono::seconds(90))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.resume();
    ASSERT_TRUE(child.ended()) << "the run hangs on a share that stopped answering";
    EXPECT_EQ(child.wait(), 1) << child.out() << child.err();
    EXPECT_NE(child.err().find("Timed out"), std::string::npos) << child.err();
    for (const std::string& name : shareTree()) {
        if (name.find(".velmora-") != std::string::npos)
            continue;
        EXPECT_EQ(TempDir::readFile(onShare("backup/" + name)), TempDir::readFile(dir.at("src/" + name)))
            << name;
    }
}

} // namespace
} // namespace velmora::test
