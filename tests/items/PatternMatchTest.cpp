#include "items/ExclusionSet.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

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

namespace velmora {
namespace {

// The matching rules walked literally on upper-cased copies, to check the in-place matcher
// and its shortcuts against.
bool referenceMatch(std::string pattern, std::string name) {
    for (std::string* s : {&pattern, &name})
        for (char& c : *s)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    pattern.push_back('\0');
    name.push_back('\0');
    const char* w = pattern.c_str();
    const char* s = name.c_str();
    const char* mp = nullptr;
    const char* cp = nullptr;
    while (*s && *w != '*') {
        if (*w != *s && *w != '?')
            return false;
        ++w;
        ++s;
    }
    while (*s) {
        if (*w == '*') {
            if (!*++w)
                return true;
            mp = w;
            cp = s + 1;
        } else if (*w == *s || *w == '?') {
            ++w;
            ++s;
        } else {
            w = mp;
            s = cp++;
        }
    }
    while (*w == '*' || (*w == '.' && w[1] == '*'))
        ++w;
    return !*w;
}

TEST(PatternMatching, AgreesWithTheLiteralWalkOnRandomInput) {
    std::mt19937 random(7);
    const std::string patternBytes = "aAb.*?\xE9";
    const std::string nameBytes = "aAbB.\xE9\xC9";
    const auto randomText = [&random](const std::string& bytes, std::size_t maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text)
            c = bytes[random() % bytes.size()];
        return text;
    };
    for (int i = 0; i < 200000; ++i) {
        const std::string pattern = randomText(patternBytes, 6);
        const std::string name = randomText(nameBytes, 7);
        ASSERT_EQ(matchesPattern(pattern, name), referenceMatch(pattern, name))
            << '"' << pattern << "\" on \"" << name << '"';
    }
}

} // namespace
} // namespace velmora
