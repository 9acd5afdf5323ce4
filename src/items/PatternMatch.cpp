#include "items/ExclusionSet.h"

namespace velmora {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameByte(char patternByte, char nameByte) {
    return patternByte == '?' || upper(patternByte) == upper(nameByte);
}

} // namespace

bool matchesPattern(std::string_view pattern, std::string_view name) {
    // A pattern that does not end in '*' can only match when its last byte took the name's last
    // byte: a quick refusal for most names, with the same result as the full walk below.
    if (!pattern.empty() && pattern.back() != '*' && (name.empty() || !sameByte(pattern.back(), name.back())))
        return false;
    std::size_t p = 0;
    std::size_t n = 0;
    // Up to the first '*' every byte must match in step.
    while (n < name.size() && (p == pattern.size() || pattern[p] != '*')) {
        if (p == pattern.size() || !sameByte(pattern[p], name[n]))
            return false;
        ++p;
        ++n;
    }
    // After a '*': on a mismatch retry with the '*' taking one more byte of the name.
    std::size_t starNext = 0;
    std::size_t nameRetry = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            if (++p == pattern.size())
                return true;
            starNext = p;
            nameRetry = n + 1;
        } else if (p < pattern.size() && sameByte(pattern[p], name[n])) {
            ++p;
            ++n;
        } else {
            p = starNext;
            n = nameRetry++;
        }
    }
    // A name used up still matches "*" and ".*" tails: "README.*" matches "README".
    while (p < pattern.size() &&
           (pattern[p] == '*' || (pattern[p] == '.' && p + 1 < pattern.size() && pattern[p + 1] == '*')))
        ++p;
    return p == pattern.size();
}

} // namespace velmora
