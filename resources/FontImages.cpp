#include "resources/FontImages.h"

namespace zorvik {

// Defined in the generated source that carries the images.
std::span<const std::uint8_t> EmbeddedFontImage(int resourceId);

std::span<const std::uint8_t> FontImages::Find(int resourceId)
{
    return EmbeddedFontImage(resourceId);
}

}  // namespace zorvik
