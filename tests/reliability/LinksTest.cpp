// Symbolic links are never followed: deleting, overwriting or copying one never reaches what it
// points at, however far outside the trees that is.
#include "engine/SyncRig.h"
#include "support/Unprivileged.h"

#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class LinksTest : public testing::Test {
protected:
    SyncRig rig;
    std::vector<std::string> outsideBefore;

    // A folder beside the two trees that no run may touch.
    void SetUp() override {
        rig.file("outside/precious.txt", "precious");
        rig.file("outside/inner/deep.txt", "deep");
        outsideBefore = outside();
    }

    // The outside folder, files with their contents.
    std::vector<std::string> outside() const {
        std::vector<std::string> result;
        for (const std::string& path : rig.dir.listTree())
            if (path.starts_with("outside/"))
                result.push_back(path.ends_with("/") ? path : path + "=" + rig.read(path));
        return result;
    }
};

TEST_F(LinksTest, DeletingLinksToAnOutsideFolderAndFoldersHoldingThemLeavesTheOutsideFolderAlone) {
    rig.dir.makeLink("dst/link", rig.dir.at("outside"));
    rig.dir.makeLink("dst/folder/relative-link", "../../outside");
    rig.dir.makeLink("dst/folder/sub/absolute-link", rig.dir.at("outside/inner/"));
    rig.file("dst/folder/sub/plain.txt", "plain");

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_THAT(rig.tree("dst"), IsEmpty());
    EXPECT_EQ(outside(), outsideBefore);
    EXPECT_EQ(rig.results.counts.deletedFiles, 4u);
    EXPECT_EQ(rig.results.counts.deletedFolders, 2u);
}

TEST_F(LinksTest, ALinkInTheTargetIsReplacedNeverWrittenThrough) {
    // A file whose target is a link to an outside file, and a folder whose target is a link to
    // an outside folder.
    rig.file("src/file.txt", "new", 3600);
    rig.dir.makeLink("dst/file.txt", rig.dir.at("outside/precious.txt"), SyncRig::kTime);
    rig.file("src/inner/deep.txt", "from the source");
    rig.dir.makeLink("dst/inner", rig.dir.at("outside/inner"), SyncRig::kTime);

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_EQ(outside(), outsideBefore);
    EXPECT_THAT(rig.tree("dst"), ElementsAre("file.txt", "inner/", "inner/deep.txt"));
    EXPECT_EQ(rig.read("dst/file.txt"), "new");
    EXPECT_EQ(rig.read("dst/inner/deep.txt"), "from the source");
}

TEST_F(LinksTest, ALinkInTheSourceIsCopiedAsALinkAndNotEntered) {
    rig.dir.makeLink("src/to-outside", rig.dir.at("outside"));
    rig.dir.makeLink("src/dangling", "no/such/place");

    rig.run();
    EXPECT_THAT(rig.results.problems, IsEmpty());
    EXPECT_THAT(rig.tree("dst"),
                ElementsAre("dangling -> no/such/place", "to-outside -> " + rig.dir.at("outside")));
    EXPECT_EQ(outside(), outsideBefore);

    // The copied links look up to date to the next run.
    rig.run();
    EXPECT_EQ(rig.results.counts.overwrittenFiles + rig.results.counts.addedFiles, 0u);
}

// Between the analysis and the execution (while the check-list is open, say) a planned folder
// is swapped for a link to the outside folder.
TEST_F(LinksTest, AFolderToDeleteSwappedForALinkBeforeExecutionIsNotEntered) {
    rig.file("dst/folder/x.txt", "x");
    rig.options.checkActions = true;
    rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
        EXPECT_EQ(std::rename(rig.dir.at("dst/folder").c_str(), rig.dir.at("moved").c_str()), 0);
        rig.dir.makeLink("dst/folder", rig.dir.at("outside"));
        return true;
    };

    rig.run();
    EXPECT_EQ(outside(), outsideBefore);
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre("CSynchroniserDlg::deleteDirectory: Could not delete folder: " + rig.target + "folder",
                    "Not a directory"));
    EXPECT_EQ(rig.results.counts.deletedFiles, 0u);
}

// The attack on a root run: the unprivileged owner of both trees, in a process of its own, swaps
// a folder of each for a link to a root-only folder while the run waits at its check-list.
TEST_F(LinksTest, FoldersSwappedForLinksByTheirOwnerAfterTheAnalysisAreNotFollowed) {
    VELMORA_SKIP_UNLESS_ROOT();
    rig.file("src/folder/new.txt", "new");
    rig.file("dst/folder/stale.txt", "planned for deletion");
    rig.file("src/sub/public.txt", "public");
    rig.file("outside/stale.txt", "outside, with the same name");
    rig.file("outside/public.txt", "private, with the same name");
    rig.dir.setMode("outside", 0700);
    outsideBefore = outside();
    rig.dir.openToEveryone();
    for (const std::string& path : rig.dir.listTree()) {
        if (path.starts_with("src/") || path.starts_with("dst/")) {
            ASSERT_EQ(::lchown(rig.dir.at(path).c_str(), 65534, 65534), 0);
        }
    }
    ASSERT_EQ(::chown(rig.source.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(rig.target.c_str(), 65534, 65534), 0);

    rig.options.checkActions = true;
    rig.frontEnd.checkListAnswer = [&](CheckListSets&) {
        const UnprivilegedResult swap = runUnprivileged([&] {
            const std::string outsideFolder = rig.dir.at("outside");
            for (const std::string& folder : {rig.target + "folder", rig.source + "sub"})
                if (std::rename(folder.c_str(), (folder + "-moved").c_str()) != 0 ||
                    ::symlink(outsideFolder.c_str(), folder.c_str()) != 0)
                    return 1;
            return 0;
        });
        EXPECT_TRUE(swap.ran) << swap.problem;
        EXPECT_EQ(swap.value, 0);
        return true;
    };

    rig.run();
    EXPECT_EQ(outside(), outsideBefore);
    EXPECT_FALSE(TempDir::exists(rig.target + "sub/public.txt"));
    const std::string loop = "Too many levels of symbolic links";
    EXPECT_THAT(
        rig.results.problems,
        ElementsAre(
            "CSynchroniserDlg::processFiles (add): Could not copy file: " + rig.target + "folder/new.txt",
            loop,
            "CSynchroniserDlg::processFiles (delete): Could not delete file: " + rig.target +
                "folder/stale.txt",
            loop, "CSynchroniserDlg::copyDirectory: Could not read folder: " + rig.source + "sub", loop));
}

} // namespace
} // namespace velmora::test
