#include "items/PathOrder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace velmora {
namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(PathOrder, IgnoresAsciiCaseOnly) {
    EXPECT_EQ(comparePaths("/Data/Sub", "/data/SUB"), 0);
    // Latin-1 letters are not folded: \xC9 and \xE9 are different bytes.
    EXPECT_NE(comparePaths("/caf\xC9", "/caf\xE9"), 0);
}

TEST(PathOrder, PathSortsBeforeItsContinuations) {
    EXPECT_LT(comparePaths("/data", "/data/x"), 0);
    EXPECT_LT(comparePaths("/data", "/data0"), 0);
    EXPECT_GT(comparePaths("/data/x", "/data"), 0);
}

TEST(PathOrder, BytesAboveAsciiSortBeforeTheEndAndEveryAsciiByte) {
    EXPECT_LT(comparePaths("/a\xE9", "/a"), 0);
    EXPECT_LT(comparePaths("/a\xE9", "/a!"), 0);
    EXPECT_GT(comparePaths("/\xFF", "/\x80"), 0);
}

TEST(PathOrder, UpperCaseMappingDecidesAgainstPunctuation) {
    // '_' (0x5F) lies between 'Z' and 'a': after mapping, "a" (as 'A') sorts before '_'.
    EXPECT_LT(comparePaths("/a", "/_"), 0);
    EXPECT_LT(comparePaths("/Z", "/_"), 0);
}

TEST(PathOrder, ItemsCompareAsTheirFullPaths) {
    // Folder and name are compared as one joined path, wherever the split falls.
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"/data/ab", "/data/a"}, {"/data/a/b", "/data/a_b"}, {"/dat", "/data"},
        {"/data/A", "/DATA/a"},  {"/x\xE9", "/x"},           {"/", "/a"}};
    for (const auto& [left, right] : pairs) {
        const FileItemPtr a = makeItem(left);
        const FileItemPtr b = makeItem(right);
        EXPECT_EQ(sign(comparePaths(*a, *b)), sign(comparePaths(a->fullPath(), b->fullPath())))
            << left << " vs " << right;
        EXPECT_EQ(sign(comparePaths(*b, *a)), -sign(comparePaths(*a, *b))) << left << " vs " << right;
    }
}

TEST(PathOrder, PathLessKeepsOneEntryPerPathInSets) {
    std::set<FileItemPtr, PathLess> set;
    set.insert(makeItem("/Data/a.txt"));
    set.insert(makeItem("/data/A.TXT"));
    set.insert(makeItem("/data/b.txt"));
    EXPECT_EQ(set.size(), 2u);
}

} // namespace
} // namespace velmora
