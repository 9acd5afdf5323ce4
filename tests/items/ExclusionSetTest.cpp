#include "items/ExclusionSet.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

std::vector<std::string> displayPaths(const std::vector<FileItemPtr>& list) {
    std::vector<std::string> paths;
    for (const FileItemPtr& item : list)
        paths.push_back(item->displayPath());
    return paths;
}

// A listed entry as the engine builds it: kind from the listing, '/' as separator.
FileItem listed(const char* folder, const char* name, ItemKind kind = kFile) {
    FileItem item;
    item.folder = folder;
    item.name = name;
    item.kind = kind;
    item.forwardSlash = true;
    return item;
}

struct CandidateCase {
    PathStyle style;
    const char* candidate;
    bool excluded;
};

void PrintTo(const CandidateCase& c, std::ostream* os) {
    *os << c.candidate;
}

class FolderBoundWildcard : public testing::TestWithParam<CandidateCase> {};

TEST_P(FolderBoundWildcard, CoversItsFolderAndEverySubfolderWithCaseSignificant) {
    const CandidateCase& c = GetParam();
    ExclusionSet set(c.style);
    set.addWildcard(c.style == PathStyle::Windows ? R"(C:\Data\*.tmp)" : "/data/*.tmp");
    set.finish();
    EXPECT_EQ(set.isExcluded(c.candidate), c.excluded);
    EXPECT_EQ(set.isExcluded(*makeItem(c.candidate, c.style)), c.excluded);
}

INSTANTIATE_TEST_SUITE_P(Windows, FolderBoundWildcard,
                         testing::Values(CandidateCase{PathStyle::Windows, R"(C:\Data\a.tmp)", true},
                                         CandidateCase{PathStyle::Windows, R"(C:\Data\Old\a.tmp)", true},
                                         CandidateCase{PathStyle::Windows, R"(C:\Other\a.tmp)", false},
                                         CandidateCase{PathStyle::Windows, R"(c:\data\a.tmp)", false}));

INSTANTIATE_TEST_SUITE_P(Linux, FolderBoundWildcard,
                         testing::Values(CandidateCase{PathStyle::Posix, "/data/a.tmp", true},
                                         CandidateCase{PathStyle::Posix, "/data/Old/a.TMP", true},
                                         CandidateCase{PathStyle::Posix, "/other/a.tmp", false},
                                         CandidateCase{PathStyle::Posix, "/DATA/a.tmp", false},
                                         CandidateCase{PathStyle::Posix, "/database/a.tmp", false},
                                         CandidateCase{PathStyle::Posix, "/data/a.tmp.keep", false}));

TEST(ExclusionSet, ExplicitEntriesMatchExactPathsIgnoringAsciiCase) {
    ExclusionSet windows(PathStyle::Windows);
    windows.addExplicit(R"(C:\DATA\SUB\)");
    windows.finish();
    EXPECT_TRUE(windows.isExcluded(R"(C:\Data\Sub)"));
    EXPECT_FALSE(windows.isExcluded(R"(C:\Data\Sub\a.txt)")) << "callers never descend into it";

    ExclusionSet set;
    set.addExplicit("/data/Sub/");
    set.addExplicit("/data/notes.txt");
    set.finish();
    EXPECT_TRUE(set.isExcluded(listed("/DATA/", "sub", kFolder)));
    EXPECT_TRUE(set.isExcluded(listed("/data/", "Sub", kFile))) << "kind plays no part";
    EXPECT_TRUE(set.isExcluded(listed("/data/", "NOTES.txt")));
    EXPECT_FALSE(set.isExcluded(listed("/data/other/", "notes.txt")));
    EXPECT_FALSE(set.isExcluded(listed("/data/", "notes.txt.bak")));
    EXPECT_FALSE(set.isExcluded(listed("/data/", "note")));
}

TEST(ExclusionSet, FolderTypedWithoutTrailingSeparatorMatchesTheSameFolder) {
    ExclusionSet set;
    set.addExplicit("/data/Sub");
    set.finish();
    EXPECT_TRUE(set.isExcluded(listed("/data/", "Sub", kFolder)));
    EXPECT_EQ(displayPaths(set.explicitEntries()), std::vector<std::string>{"/data/Sub"});
}

TEST(ExclusionSet, AddingKeepsOneEntryPerPathAndTheListSorted) {
    ExclusionSet set;
    set.addExplicit("/data/b.txt");
    set.addExplicit("/data/A.txt");
    set.addExplicit("/DATA/B.TXT");
    set.addExplicit("/data/a.txt");
    set.addExplicit("/data/c/");
    // Still sorted between additions, so the lookup works before finish.
    EXPECT_TRUE(set.isExcluded("/data/C"));
    set.finish();
    EXPECT_EQ(displayPaths(set.explicitEntries()),
              (std::vector<std::string>{"/data/A.txt", "/data/b.txt", "/data/c/"}));

    set.addWildcard("*.tmp");
    set.addWildcard("*.TMP");
    set.addWildcard("/data/*.log");
    set.finish();
    EXPECT_EQ(set.wildcards().size(), 2u);
}

TEST(ExclusionSet, WildcardCoverageInteractsWithExplicitEntries) {
    ExclusionSet set;
    set.addWildcard("*.tmp");
    set.addExplicit("/data/x.tmp");
    set.finish();
    EXPECT_TRUE(set.explicitEntries().empty()) << "a covered path is not added again";

    set.addExplicit("/data/y.TMP.d/");
    set.addExplicit("/data/keep.txt");
    set.finish();
    ASSERT_EQ(set.explicitEntries().size(), 2u);
    const FileItemPtr covered = makeItem("/data/a.tmp");
    set.removeExplicit(*covered);
    EXPECT_TRUE(set.isExcluded(*covered)) << "the wildcard still covers it";
    set.removeExplicit(*makeItem("/DATA/KEEP.TXT"));
    EXPECT_FALSE(set.isExcluded("/data/keep.txt"));
    EXPECT_EQ(set.wildcards().size(), 1u);
}

TEST(ExclusionSet, UnboundWildcardAppliesInEveryFolder) {
    ExclusionSet set;
    set.addWildcard("*.tmp");
    set.addWildcard("Thumbs.db");
    set.finish();
    EXPECT_TRUE(set.isExcluded(listed("/home/ann/", "draft.tmp")));
    EXPECT_TRUE(set.isExcluded(listed("/mnt/backup/photos/2008/", "thumbs.DB")));
    EXPECT_FALSE(set.isExcluded(listed("/home/ann/", "draft.txt")));
}

TEST(ExclusionSet, EmptyWildcardIsKeptButExcludesNothing) {
    ExclusionSet set;
    set.addWildcard("");
    set.finish();
    EXPECT_EQ(set.wildcards().size(), 1u);
    EXPECT_FALSE(set.isExcluded("/"));
    EXPECT_FALSE(set.isExcluded("/data/a.txt"));
    EXPECT_FALSE(set.isExcluded(listed("/", "")));
}

TEST(ExclusionSet, CopiesShareItemsButNotLists) {
    ExclusionSet set;
    set.addExplicit("/data/a.txt");
    ExclusionSet copy = set;
    copy.addExplicit("/data/b.txt");
    copy.finish();
    EXPECT_EQ(set.explicitEntries().size(), 1u);
    EXPECT_EQ(copy.explicitEntries().size(), 2u);
    EXPECT_EQ(set.explicitEntries()[0], copy.explicitEntries()[0]);
}

// Reading and writing the sections of a profile file.
class ExclusionSections : public testing::Test {
protected:
    void TearDown() override { TextRecord::setLastReadVersion(0.0); }

    // What the profile reader does: read keys until "exclusions", then hand over.
    static ExclusionSet readProfileText(const std::string& text, double version,
                                        PathStyle style = PathStyle::Posix) {
        TextRecord::setLastReadVersion(version);
        ExclusionSet set(style);
        std::istringstream in(text);
        std::string key;
        while (TextRecord::readKey(in, key)) {
            if (key == "exclusions")
                set.read(in);
            else
                in.ignore(256, '\n');
        }
        return set;
    }

    static std::vector<std::string> fullPaths(const std::vector<FileItemPtr>& list) {
        std::vector<std::string> paths;
        for (const FileItemPtr& item : list)
            paths.push_back(item->fullPath());
        return paths;
    }
};

TEST_F(ExclusionSections, WriteGivesTheExactLines) {
    ExclusionSet set;
    set.addExplicit("/work/notes.txt");
    set.addExplicit("/work/Temp/");
    set.addWildcard("*.tmp");
    set.addWildcard("/work/*.bak");
    set.finish();
    std::ostringstream out;
    ASSERT_TRUE(set.write(out));
    EXPECT_EQ(out.str(), "exclusions=\r\n/work/notes.txt\r\n/work/Temp/\r\nend_exclusions\r\n"
                         "wildcard_exclusions=\r\n*.tmp\r\n/work/*.bak\r\nend_wildcard_exclusions\r\n");

    ExclusionSet windows(PathStyle::Windows);
    windows.addExplicit(R"(C:\Work\Temp\)");
    windows.addExplicit(R"(C:\Work\notes.txt)");
    windows.finish();
    std::ostringstream windowsOut;
    ASSERT_TRUE(windows.write(windowsOut));
    EXPECT_EQ(windowsOut.str(), "exclusions=\r\nC:\\Work\\notes.txt\r\nC:\\Work\\Temp\\\r\nend_exclusions\r\n"
                                "wildcard_exclusions=\r\nend_wildcard_exclusions\r\n");
}

TEST_F(ExclusionSections, RoundTripKeepsEveryEntryAndKind) {
    ExclusionSet set;
    for (const char* path : {"/srv/a b/", "/srv/12:30 notes.txt", "/srv/back\\slash", "/", "/srv/caf\xE9/"})
        set.addExplicit(path);
    set.addWildcard("*.tmp");
    set.addWildcard("/srv/cache/*");
    set.finish();
    std::ostringstream out;
    ASSERT_TRUE(set.write(out));

    const ExclusionSet back =
        readProfileText("velmora_version=1.09\r\n" + out.str() + "copy_attribs=0\r\n", 1.09);
    EXPECT_EQ(displayPaths(back.explicitEntries()), displayPaths(set.explicitEntries()));
    EXPECT_EQ(fullPaths(back.wildcards()), fullPaths(set.wildcards()));
}

TEST_F(ExclusionSections, ReadAcceptsLfLineEndsAndTheOldTerminator) {
    const ExclusionSet set =
        readProfileText("exclusions=\n\n/b/\n/a\nend_ftp_exclusions\nwildcard_exclusions=\n*.o\n"
                        "end_wildcard_exclusions\n",
                        1.09);
    EXPECT_EQ(displayPaths(set.explicitEntries()), (std::vector<std::string>{"/a", "/b/"}));
    EXPECT_EQ(fullPaths(set.wildcards()), std::vector<std::string>{"*.o"});
}

TEST_F(ExclusionSections, EmptyLineInsideTheListIsAnEntry) {
    const ExclusionSet set = readProfileText("exclusions=\r\n/a\r\n\r\n/b\r\nend_exclusions\r\n", 1.05);
    EXPECT_EQ(fullPaths(set.explicitEntries()), (std::vector<std::string>{"", "/a", "/b"}));
}

TEST_F(ExclusionSections, WildcardSectionOnlyAfterVersion105) {
    const std::string text = "exclusions=\r\n/a\r\nend_exclusions\r\nwildcard_exclusions=\r\n*.tmp\r\n"
                             "end_wildcard_exclusions\r\n";
    EXPECT_TRUE(readProfileText(text, 1.05).wildcards().empty());
    EXPECT_EQ(readProfileText(text, 1.06).wildcards().size(), 1u);
}

TEST_F(ExclusionSections, UnterminatedListAddsOneEmptyEntry) {
    TextRecord::setLastReadVersion(1.09);
    ExclusionSet set;
    std::istringstream in("\r\n/a\r\n/b");
    EXPECT_FALSE(set.read(in));
    EXPECT_EQ(fullPaths(set.explicitEntries()), (std::vector<std::string>{"", "/a", "/b"}));
    EXPECT_TRUE(set.wildcards().empty());
}

TEST_F(ExclusionSections, SecondSectionAddsToTheFirst) {
    const ExclusionSet set = readProfileText("exclusions=\n/b\nend_exclusions\nwildcard_exclusions=\n"
                                             "end_wildcard_exclusions\nexclusions=\n/a\nend_exclusions\n",
                                             1.09);
    EXPECT_EQ(fullPaths(set.explicitEntries()), (std::vector<std::string>{"/a", "/b"}));
}

TEST_F(ExclusionSections, EntryThatCannotBeOneLineIsLeftOutAndReported) {
    // A Linux name may hold a line break; written as is it would inject lines into the profile.
    ExclusionSet set;
    set.addExplicit("/data/evil\nend_exclusions\nlocation1=/");
    set.addExplicit("/data/fine.txt");
    set.finish();
    std::ostringstream out;
    EXPECT_FALSE(set.write(out));
    EXPECT_EQ(out.str(), "exclusions=\r\n/data/fine.txt\r\nend_exclusions\r\nwildcard_exclusions=\r\n"
                         "end_wildcard_exclusions\r\n");
}

TEST(TextRecordKey, WhiteSpaceAnywhereIsRemoved) {
    std::istringstream in("\r\n\r\n  delete_files =0\r\nlocation1= /a\r\n=x");
    EXPECT_EQ(TextRecord::readKey(in), "delete_files");
    in.ignore(256, '\n');
    EXPECT_EQ(TextRecord::readKey(in), "location1");
    in.ignore(256, '\n');
    std::string key = "stale";
    EXPECT_TRUE(TextRecord::readKey(in, key)) << "an empty key is still a key";
    EXPECT_EQ(key, "");
    in.ignore(256, '\n');
    EXPECT_FALSE(TextRecord::readKey(in, key));
    EXPECT_EQ(TextRecord::readKey(in), "");
}

TEST(TextRecordKey, LongKeyIsCutAt1023Characters) {
    std::istringstream in(std::string(1500, 'k') + "=1");
    EXPECT_EQ(TextRecord::readKey(in).size(), 1023u);
    EXPECT_EQ(TextRecord::readKey(in), std::string(477, 'k'));
}

} // namespace
} // namespace velmora
