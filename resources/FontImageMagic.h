#pragma once
// The four lead bytes of every font image: the printer takes what follows them as a
// font download.
#include <cstdint>

namespace zorvik {

inline constexpr std::uint8_t kFontImageMagic[] = {0x1C, 0x6C, 0x64, 0x73};

}  // namespace zorvik
