// Names of every awkward kind are synchronised exactly, and trees too deep for a plain path are
// reported folder by folder rather than passed over.
#include "engine/SyncRig.h"
#include "support/Unprivileged.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// One side of a tree, files with their contents, for whole-tree comparisons.
std::vector<std::string> contents(const SyncRig& rig, const std::string& side) {
    std::vector<std::string> result;
    for (const std::string& path : rig.tree(side)) {
        const std::string full = side + "/" + path;
        result.push_back(path.ends_with("/") || path.find(" -> ") != std::string::npos
                             ? path
                             : path + "=" + rig.read(full));
    }
    return result;
}

std::vector<std::string> awkwardNames() {
    return {
        "with space",
        " leading space",
        "trailing space ",
        "new\nline",
        "\n",
        "-rf",
        "--help",
        "-",
        "back\\slash",
        "\\",
        "co:lon",
        "C:",
        "tab\there",
        "*?[]",
        "~",
        ".hidden",
        "..dots",
        "invalid \xff\xfe utf-8",
        "\xc3",
        "caf\xc3\xa9",
        std::string(255, 'n'),
        // 255 bytes ending in a two-byte character: a temporary name cut from it must not split it.
        std::string(253, 'u') + "\xc3\xa9",
    };
}

TEST(NamesTest, AwkwardNamesAreSynchronisedExactly) {
    SyncRig rig;
    for (const std::string& name : awkwardNames()) {
        rig.file("src/" + name, "file " + name, 3600);
        rig.file("src/folder " + name.substr(0, 200) + "/" + name, "inside " + name);
    }
    // Some of them already there (older) or only in the target.
    rig.file("dst/-rf", "old");
    rig.file("dst/new\nline", "old");
    rig.file("dst/" + std::string(255, 'n'), "old");
    rig.file("dst/-stale \\ \n \xff", "stale");
    rig.dir.makeFolder("dst/--stale-folder\n/-x");

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_EQ(contents(rig, "dst"), contents(rig, "src"));
    EXPECT_EQ(rig.results.counts.overwrittenFiles, 3u);
    EXPECT_THAT(rig.dir.temporaryFiles("dst"), IsEmpty());

    // Nothing is left to do.
    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    const auto& counts = rig.results.counts;
    EXPECT_EQ(counts.overwrittenFiles + counts.addedFiles + counts.deletedFiles + counts.addedFolders +
                  counts.deletedFolders,
              0u);
}

// On Linux "Makefile" and "makefile" are two files: each must pair with its own name in the
// target (not with the first name equal to it with case ignored) and both must be planned.
TEST(NamesTest, NamesThatDifferOnlyInCaseAreKeptApart) {
    SyncRig rig;
    rig.file("src/readme", "lower", 3600);
    rig.file("src/README", "upper", 3600);
    rig.file("src/Readme", "mixed", 3600);
    rig.file("dst/readme", "old lower");
    rig.file("dst/README", "old upper");
    rig.file("src/Makefile", "upper M");
    rig.file("src/makefile", "lower m");
    rig.file("dst/makefile", "lower m");
    rig.file("src/Docs/upper.txt", "upper");
    rig.file("src/docs/lower.txt", "lower");
    rig.file("dst/docs/lower.txt", "lower");

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_EQ(contents(rig, "dst"), contents(rig, "src"));
}

// Onto a target that ignores case, source names differing in case alone can keep only one file
// there: the one the target has already, else the first in byte order; the other is a problem,
// the same on every run, and never copied over the first. (The fault seam makes the target
// answer "folds"; the files themselves land on a disk that tells case apart.)
struct CaseTwins {
    const char* name;
    std::vector<std::string> sources;  // "name=bytes", "folder/" for a folder
    std::vector<std::string> existing; // already in the target
    std::vector<std::string> expected; // the target afterwards
    const char* leftOut;               // the name reported
    const char* kept;
    bool folder;
};

class CaseTwinsTest : public testing::TestWithParam<CaseTwins> {};

TEST_P(CaseTwinsTest, KeepOneDeterministicallyAndReportTheOther) {
    const CaseTwins& c = GetParam();
    SyncRig rig;
    const auto make = [&rig](const std::string& side, const std::string& entry) {
        if (entry.ends_with("/"))
            rig.file(side + "/" + entry + "inside", "inside");
        else
            rig.file(side + "/" + entry.substr(0, entry.find('=')), entry.substr(entry.find('=') + 1));
    };
    for (const std::string& entry : c.sources)
        make("src", entry);
    for (const std::string& entry : c.existing)
        make("dst", entry);
    rig.fs.answerFoldsCase(true);

    const std::string problem = std::string("CSynchroniserDlg::analyseDirectory (dst): Could not add ") +
                                (c.folder ? "folder: " : "file: ") + rig.target + c.leftOut;
    const std::string reason = std::string(c.leftOut) + " differs from " + c.kept +
                               " only in letter case; the target cannot keep both";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        rig.run();
        EXPECT_THAT(rig.results.problems, ElementsAre(problem, reason));
        EXPECT_EQ(rig.results.counts.overwrittenFiles + rig.results.counts.deletedFiles +
                      rig.results.counts.deletedFolders,
                  0u);
        std::vector<std::string> target = contents(rig, "dst");
        EXPECT_EQ(target, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, CaseTwinsTest,
    testing::Values(
        CaseTwins{
            "FirstInByteOrder", {"Make=upper", "make=lower"}, {}, {"Make=upper"}, "make", "Make", false},
        CaseTwins{"TheOneTheTargetHas",
                  {"Make=upper", "make=lower"},
                  {"make=lower"},
                  {"make=lower"},
                  "Make",
                  "make",
                  false},
        CaseTwins{"Folders", {"docs/", "Docs/"}, {}, {"Docs/", "Docs/inside=inside"}, "docs", "Docs", true}),
    [](const testing::TestParamInfo<CaseTwins>& param) { return std::string(param.param.name); });

// A small volume mounted on a folder for the life of the object, where the machine allows it:
// vfat through the kernel, or exFAT through its FUSE driver (on a loop device), the usual way
// a stick is mounted where the kernel lacks the driver.
class SmallVolume {
public:
    enum class Kind { Vfat, ExfatFuse };

    SmallVolume(Kind kind, const std::string& image, const std::string& folder) : folder_(folder) {
        if (!canDropPrivileges()) {
            problem_ = "mounting needs root";
            return;
        }
        const std::string quoted = "'" + image + "'";
        if (kind == Kind::Vfat) {
            problem_ = run("truncate -s 8M " + quoted + " && mkfs.vfat " + quoted +
                           " >/dev/null && mount -o loop " + quoted + " '" + folder + "'");
        } else {
            problem_ =
                run("truncate -s 16M " + quoted + " && mkfs.exfat " + quoted +
                    " >/dev/null && device=$(losetup -f --show " + quoted +
                    ") && { mount.exfat-fuse $device '" + folder + "' || { losetup -d $device; false; }; }");
            loopOf_ = image;
        }
        mounted_ = problem_.empty();
    }
    ~SmallVolume() {
        // Workers of the run may still hold a folder of it for a moment: then detach it lazily.
        if (mounted_)
            run("umount '" + folder_ + "' || umount -l '" + folder_ + "'");
        if (!loopOf_.empty())
            run("losetup -j '" + loopOf_ + "' | cut -d: -f1 | xargs -r -n1 losetup -d");
    }
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;
    // Why it could not be mounted; empty when it is.
    const std::string& problem() const { return problem_; }

private:
    static std::string run(const std::string& command) {
        FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
        if (pipe == nullptr)
            return std::strerror(errno);
        std::string output;
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
            output += buffer.data();
        const int status = ::pclose(pipe);
        return status == 0 ? std::string() : output.empty() ? "failed: " + command : output;
    }

    std::string folder_;
    std::string loopOf_;
    std::string problem_;
    bool mounted_ = false;
};

// The reproduction on a real stick: six runs used to keep either name at random.
TEST(NamesTest, OnAnExfatStickThroughFuseCaseTwinsKeepTheFirstInByteOrder) {
    SyncRig rig;
    rig.file("src/Make", "upper");
    rig.file("src/make", "lower");
    SmallVolume volume(SmallVolume::Kind::ExfatFuse, rig.dir.at("exfat.img"), rig.dir.at("dst"));
    if (!volume.problem().empty())
        GTEST_SKIP() << "no exFAT volume through FUSE on this machine: " << volume.problem();
    rig.dir.makeFolder("dst/t");
    rig.target = rig.dir.at("dst/t/");
    EXPECT_TRUE(rig.fs.foldsCase(rig.target)); // its parent's names tell, though it is empty

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        rig.run();
        EXPECT_THAT(rig.results.problems,
                    ElementsAre("CSynchroniserDlg::analyseDirectory (dst): Could not add file: " +
                                    rig.target + "make",
                                "make differs from Make only in letter case; the target cannot keep both"));
        EXPECT_EQ(contents(rig, "dst"), (std::vector<std::string>{"t/", "t/Make=upper"}));
    }
}

TEST(NamesTest, OnAVfatTargetNamesDifferingInCaseAloneAreOneFileAndNothingIsDeleted) {
    SyncRig rig;
    rig.file("src/report.txt", "report");
    rig.file("src/Docs/a", "a");
    SmallVolume volume(SmallVolume::Kind::Vfat, rig.dir.at("vfat.img"), rig.dir.at("dst"));
    if (!volume.problem().empty())
        GTEST_SKIP() << "no vfat volume on this machine: " << volume.problem();
    rig.file("dst/Report.txt", "report");
    rig.file("dst/DOCS/a", "a");
    EXPECT_TRUE(rig.fs.foldsCase(rig.target));

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_EQ(rig.results.counts.deletedFiles + rig.results.counts.deletedFolders, 0);
    EXPECT_EQ(rig.read("dst/report.txt") + rig.read("dst/Docs/a"), "reporta");
}

// A folder chain built and taken apart through directory descriptors, for trees deeper than a
// plain path can name.
class DeepTree {
public:
    static constexpr int kLevels = 24;

    static std::string levelName(int level) {
        return "level-" + std::to_string(level) + std::string(200, 'd');
    }

    // Makes the chain below `root` (which exists) and puts `leafName` with `bytes` at its bottom.
    static void make(const std::string& root, const std::string& leafName, const std::string& bytes) {
        int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << root;
        for (int level = 0; level < kLevels; ++level) {
            const std::string name = levelName(level);
            ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0) << std::strerror(errno);
            const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            ASSERT_GE(next, 0);
            fd = next;
        }
        const int file = ::openat(fd, leafName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        ::close(fd);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(file);
    }

    // Every path below `root`, relative to it, folders ending in '/'.
    static std::vector<std::string> list(const std::string& root) {
        std::vector<std::string> paths;
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            listAt(fd, "", paths);
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    // Removes everything below `root`, however deep.
    static void clear(const std::string& root) {
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            clearAt(fd);
    }

private:
    // Both take over `fd` and close it.
    static void listAt(int fd, const std::string& prefix, std::vector<std::string>& paths) {
        DIR* folder = ::fdopendir(fd);
        if (folder == nullptr) {
            ::close(fd);
            return;
        }
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const int child =
                ::openat(::dirfd(folder), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) {
                paths.push_back(prefix + name + "/");
                listAt(child, prefix + name + "/", paths);
            } else {
                paths.push_back(prefix + name);
            }
        }
        ::closedir(folder);
    }

    static void clearAt(int fd) {
        DIR* folder = ::fdopendir(fd);
        if (folder == nullptr) {
            ::close(fd);
            return;
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(folder))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                names.push_back(entry->d_name);
        for (const std::string& name : names) {
            const int child =
                ::openat(::dirfd(folder), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) {
                clearAt(child);
                ::unlinkat(::dirfd(folder), name.c_str(), AT_REMOVEDIR);
            } else {
                ::unlinkat(::dirfd(folder), name.c_str(), 0);
            }
        }
        ::closedir(folder);
    }
};

// The path of the chain down to `levels` levels below `root` (which ends in '/').
std::string chainPath(const std::string& root, int levels) {
    std::string path = root;
    for (int level = 0; level < levels; ++level)
        path += DeepTree::levelName(level) + "/";
    return path;
}

// The first level whose folder no longer fits in a path beneath its location (paths are
// resolved from the location's folder, so the location's own path does not count).
int firstTooLong() {
    int level = 1;
    while (chainPath("", level).size() <= PATH_MAX)
        ++level;
    return level;
}

class DeepTreeTest : public testing::Test {
protected:
    SyncRig rig;

    void TearDown() override {
        // The temporary folder's own clean-up goes by path and would stop at the limit.
        DeepTree::clear(rig.dir.at("src"));
        DeepTree::clear(rig.dir.at("dst"));
    }
};

TEST_F(DeepTreeTest, AFolderTooDeepToCopyIsReportedByNameAndTheRestIsCopied) {
    rig.file("src/top.txt", "top");
    DeepTree::make(rig.dir.at("src"), "leaf.txt", "leaf");
    ASSERT_LT(firstTooLong(), DeepTree::kLevels);

    rig.run();
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    const int tooLong = firstTooLong();
    std::string folder = chainPath(rig.source, tooLong);
    folder.pop_back();
    EXPECT_THAT(rig.results.problems,
                ElementsAre("CSynchroniserDlg::copyDirectory: Could not read folder: " + folder,
                            "File name too long"));
    EXPECT_EQ(rig.results.counts.addedFolders, static_cast<std::uint64_t>(tooLong));
    EXPECT_EQ(rig.read("dst/top.txt"), "top");
    EXPECT_EQ(DeepTree::list(rig.dir.at("dst")).size(), static_cast<std::size_t>(tooLong + 1));
}

TEST_F(DeepTreeTest, AFolderTooDeepToReadIsReportedByNameAndNothingBelowItIsDeleted) {
    DeepTree::make(rig.dir.at("src"), "leaf.txt", "leaf");
    DeepTree::make(rig.dir.at("dst"), "stale.txt", "stale");
    const std::vector<std::string> before = DeepTree::list(rig.dir.at("dst"));

    rig.run();
    ASSERT_EQ(rig.frontEnd.reports.size(), 1u);
    EXPECT_EQ(rig.frontEnd.reports[0].lastHeadline, "Synchronisation done:\n");
    const int tooLong = firstTooLong();
    EXPECT_THAT(rig.results.problems,
                ElementsAre("CSynchroniserDlg::analyseDirectory (src): Could not read folder: " +
                                chainPath(rig.source, tooLong),
                            "File name too long"));
    EXPECT_EQ(DeepTree::list(rig.dir.at("dst")), before);
}

} // namespace
} // namespace velmora::test
