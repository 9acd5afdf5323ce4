// The libFuzzer entry of one target; VELMORA_FUZZ_TARGET names it (see CMakeLists.txt).
#include "FuzzEntries.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const velmora::fuzz::Target* const target = [] {
        const velmora::fuzz::Target* found = velmora::fuzz::findTarget(VELMORA_FUZZ_TARGET);
        if (found == nullptr) {
            std::fprintf(stderr, "unknown fuzz target %s\n", VELMORA_FUZZ_TARGET);
            std::abort();
        }
        return found;
    }();
    target->run({reinterpret_cast<const char*>(data), size});
    return 0;
}
