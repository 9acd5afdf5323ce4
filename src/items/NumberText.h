#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// Decimal text with a ',' before every group of three digits: 1234567 -> "1,234,567".
std::string thousandsText(std::uint64_t value);

} // namespace velmora
