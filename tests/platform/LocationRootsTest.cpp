#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

using test::TempDir;

// A folder once opened beneath a root serves the next calls of this thread: one swapped for a link
// meanwhile must still lead nowhere else, and the roots of a later run open their folders afresh.
TEST(LocationRootsTest, AFolderSwappedForALinkAfterItsFirstUseIsNeverFollowed) {
    TempDir dir;
    const std::string source = dir.writeFile("source", "data");
    dir.makeFolder("root/sub");
    dir.makeFolder("outside");
    PosixFileSystem fs;
    fs.setLocationRoots({dir.at("root")});
    ASSERT_EQ(fs.copyFile(source, dir.at("root/sub/first"), true), 0);

    ASSERT_EQ(std::rename(dir.at("root/sub").c_str(), dir.at("root/moved").c_str()), 0);
    dir.makeLink("root/sub", dir.at("outside"));
    fs.copyFile(source, dir.at("root/sub/second"), true); // into the moved folder, or refused
    EXPECT_FALSE(TempDir::exists(dir.at("outside/second")));

    fs.setLocationRoots({dir.at("root")});
    EXPECT_EQ(fs.copyFile(source, dir.at("root/sub/third"), true), ELOOP);
    EXPECT_FALSE(TempDir::exists(dir.at("outside/third")));
}

} // namespace
} // namespace velmora::platform
