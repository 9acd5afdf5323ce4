#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// The byte of the path ordering: ASCII a-z as A-Z, then taken as a signed 8-bit value.
inline int orderByte(char c) {
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    return static_cast<signed char>(c);
}

// Compares the path a1+a2 with the path b1+b2 under the path ordering without joining them:
// the exclusion test runs this for every listed item.
inline int compareJoinedPaths(std::string_view a1, std::string_view a2, std::string_view b1,
                              std::string_view b2) {
    std::string_view a = a1;
    std::string_view b = b1;
    bool aSecond = false;
    bool bSecond = false;
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        if (i == a.size() && !aSecond) {
            a = a2;
            i = 0;
            aSecond = true;
            continue;
        }
        if (j == b.size() && !bSecond) {
            b = b2;
            j = 0;
            bSecond = true;
            continue;
        }
        const bool aEnd = i == a.size();
        const bool bEnd = j == b.size();
        if (aEnd && bEnd)
            return 0;
        // The end of a path counts as a zero byte.
        const int ca = aEnd ? 0 : orderByte(a[i]);
        const int cb = bEnd ? 0 : orderByte(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (!aEnd)
            ++i;
        if (!bEnd)
            ++j;
    }
}

} // namespace velmora
