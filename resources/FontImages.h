#pragma once
// The five font images the program carries, found by numeric resource id. They are
// generated at build time (or taken from ZORVIK_FONT_DIR) and linked into the program.
#include <array>
#include <cstdint>
#include <span>

namespace zorvik {

struct FontImageInfo {
    int resourceId;
    std::uint32_t size;  // size of the generated stand-in
};

inline constexpr std::array<FontImageInfo, 5> kFontImages = {{
    {144, 615695},   // KS5601(Korean)
    {142, 615695},   // GB2312(Simplified Chinese)
    {141, 1025807},  // BIG5(Traditional Chinese)
    {143, 843791},   // SHIFT-JIS(Japanese)
    {155, 632347},   // WPC1257_KARVO
}};

class FontImages {
public:
    // The image with that id; empty when there is none.
    static std::span<const std::uint8_t> Find(int resourceId);
};

}  // namespace zorvik
