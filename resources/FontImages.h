#pragma once
// The font images the program carries (kFontImages, listed in FontImages.list), found by
// numeric resource id. They are generated at build time (or taken from ZORVIK_FONT_DIR)
// and linked into the program.
#include <cstdint>
#include <span>

#include "resources/FontImageList.h"

namespace zorvik {

class FontImages {
public:
    // The image with that id; empty when there is none.
    static std::span<const std::uint8_t> Find(int resourceId);
};

}  // namespace zorvik
