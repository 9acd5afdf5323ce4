#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace velmora {

// The byte of the path ordering: ASCII a-z as A-Z, then taken as a signed 8-bit value.
inline int orderByte(char c) {
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    return static_cast<signed char>(c);
}

// Eight bytes at once with ASCII a-z mapped to A-Z; bytes above 0x7F are left alone.
inline std::uint64_t upperWord(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::uint64_t t = x & kLow7;
    const std::uint64_t atLeastA = t + 0x1F1F1F1F1F1F1F1FULL; // high bit set from 'a' (0x61) up
    const std::uint64_t aboveZ = t + 0x0505050505050505ULL;   // high bit set from '{' (0x7B) up
    const std::uint64_t lower = atLeastA & ~aboveZ & ~x & kHigh;
    return x ^ (lower >> 2); // clear 0x20 of each lower-case letter
}

// Compares the path a1+a2 with the path b1+b2 under the path ordering without joining them:
// the exclusion test runs this for every listed item, so equal bytes are skipped before any
// case mapping is done.
inline int compareJoinedPaths(std::string_view a1, std::string_view a2, std::string_view b1,
                              std::string_view b2) {
    const char* pa = a1.data();
    std::size_t ra = a1.size();
    const char* pb = b1.data();
    std::size_t rb = b1.size();
    bool aSecond = false;
    bool bSecond = false;
    for (;;) {
        const std::size_t n = ra < rb ? ra : rb;
        std::size_t k = 0;
        while (k + 8 <= n && upperWord(pa + k) == upperWord(pb + k))
            k += 8;
        for (; k < n; ++k) {
            if (pa[k] != pb[k]) {
                const int ca = orderByte(pa[k]);
                const int cb = orderByte(pb[k]);
                if (ca != cb)
                    return ca < cb ? -1 : 1;
            }
        }
        pa += n;
        ra -= n;
        pb += n;
        rb -= n;
        if (ra == 0 && !aSecond) {
            pa = a2.data();
            ra = a2.size();
            aSecond = true;
        }
        if (rb == 0 && !bSecond) {
            pb = b2.data();
            rb = b2.size();
            bSecond = true;
        }
        if (ra != 0 && rb != 0)
            continue;
        if (ra == 0 && !aSecond)
            continue;
        if (rb == 0 && !bSecond)
            continue;
        if (ra == 0 && rb == 0)
            return 0;
        // One path has ended; its end counts as a zero byte against the other's next byte.
        const int ca = ra == 0 ? 0 : orderByte(*pa);
        const int cb = rb == 0 ? 0 : orderByte(*pb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        // A zero byte inside a path equals the end of the other: step over it and go on.
        if (ra != 0) {
            ++pa;
            --ra;
        } else {
            ++pb;
            --rb;
        }
    }
}

} // namespace velmora
