#include "items/ExclusionSet.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << '"' << c.pattern << "\" on \"" << c.name << '"';
}

class PatternMatching : public testing::TestWithParam<PatternCase> {};

TEST_P(PatternMatching, GivesTheExpectedResult) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(matchesPattern(c.pattern, c.name), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PatternMatching,
    testing::Values(PatternCase{"*.tmp", "a.TMP", true}, PatternCase{"*.*", "README", true},
                    PatternCase{"README.*", "README", true}, PatternCase{"README.*", "README.txt", true},
                    PatternCase{"*.", "abc", false}, PatternCase{"a?", "a", false},
                    PatternCase{"*x*z", "axbxz", true}, PatternCase{"ab", "abc", false}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, PatternMatching,
    testing::Values(PatternCase{"", "", true}, PatternCase{"", "a", false}, PatternCase{"*", "", true},
                    PatternCase{"*", "anything at all", true}, PatternCase{"abc", "ab", false},
                    PatternCase{"?", "\xE9", true}, PatternCase{"\xE9", "\xC9", false},
                    // The dot is literal, not "any byte".
                    PatternCase{"a.c", "abc", false}, PatternCase{"*.tmp", "tmp", false},
                    PatternCase{"*.tmp", "a.tmp.bak", false}, PatternCase{"*.tmp*", "a.tmp.bak", true},
                    PatternCase{"*a*b*c", "xxaxxbxxbxc", true}, PatternCase{"*ab", "aab", true},
                    PatternCase{"**", "x", true}, PatternCase{"a*.*.*", "a", true},
                    PatternCase{"Thumbs.db", "THUMBS.DB", true}, PatternCase{"~$*", "~$report.docx", true},
                    PatternCase{"12:30*", "12:30 notes.txt", true}, PatternCase{"*?", "", false}));

} // namespace
} // namespace velmora
