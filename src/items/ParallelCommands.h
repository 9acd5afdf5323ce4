#pragma once

#include <cstdint>

namespace velmora {

// How many file commands a run keeps in flight ("ParallelCommands"): on a local disk a few
// workers hide each file's system calls behind the others'; on a network share, where every
// file costs round trips, eight cut a copy's time about eightfold (see docs/performance.md).
inline constexpr std::uint32_t kDefaultParallelCommands = 8;
inline constexpr std::uint32_t kMinParallelCommands = 1;
inline constexpr std::uint32_t kMaxParallelCommands = 32;

} // namespace velmora
