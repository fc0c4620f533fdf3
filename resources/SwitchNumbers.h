#pragma once
// The memory switches the printer keeps, by the number GS ( E names them with, in the
// order of the settings record (entries 0..7) and of every exchange.
#include <array>
#include <cstdint>

namespace zorvik {

inline constexpr std::array<std::uint8_t, 8> kSwitchNumbers = {1, 2, 3, 4, 5, 6, 11, 12};

}  // namespace zorvik
