#pragma once
#include <cstdint>

namespace support {

// A 16-bit Boolean word, as the support library and the run flags exchange it:
// True has every bit set.
using Flag = std::int16_t;
inline constexpr Flag True = -1;
inline constexpr Flag False = 0;

}  // namespace support
