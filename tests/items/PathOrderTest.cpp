#include "items/PathOrder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
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

namespace velmora {
namespace {

int referenceCompare(const std::string& a, const std::string& b) {
    for (std::size_t i = 0;; ++i) {
        if (i >= a.size() && i >= b.size())
            return 0;
        const auto byte = [](const std::string& s, std::size_t at) {
            char c = at < s.size() ? s[at] : '\0';
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            return static_cast<int>(static_cast<signed char>(c));
        };
        if (byte(a, i) != byte(b, i))
            return byte(a, i) < byte(b, i) ? -1 : 1;
    }
}

TEST(PathOrder, SplitItemsAgreeWithComparingJoinedPaths) {
    // Long shared prefixes and every split point, so that the word-wise comparison is crossed
    // at all offsets, with letters either side of the case boundary and bytes above 0x7F.
    std::mt19937 random(11);
    const std::string bytes = "aAzZ@[`{_/\xE9\xC9\x80\xFF";
    const std::string prefix = "/home/someone/projects/velmora/";
    for (int i = 0; i < 100000; ++i) {
        std::string a = prefix.substr(0, random() % prefix.size());
        std::string b = a;
        for (std::string* s : {&a, &b}) {
            const std::size_t extra = random() % 20;
            for (std::size_t k = 0; k < extra; ++k)
                *s += bytes[random() % bytes.size()];
        }
        if (random() % 3 == 0)
            b = a;
        if (random() % 3 == 0)
            for (char& c : b)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
        FileItem x;
        FileItem y;
        const std::size_t cutA = random() % (a.size() + 1);
        const std::size_t cutB = random() % (b.size() + 1);
        x.folder = a.substr(0, cutA);
        x.name = a.substr(cutA);
        y.folder = b.substr(0, cutB);
        y.name = b.substr(cutB);
        const int expected = referenceCompare(a, b);
        ASSERT_EQ(sign(comparePaths(x, y)), expected) << a << " | " << b;
        ASSERT_EQ(sign(comparePaths(a, b)), expected) << a << " | " << b;
    }
}

} // namespace
} // namespace velmora
