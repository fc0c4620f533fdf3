// Writes a stand-in font image: the four-byte image header, then deterministic
// filler derived from the resource id, so every build makes the same bytes.
// Usage: make_font_image <resource id> <size> <output file>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "resources/FontImageMagic.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <resource id> <size> <output>\n", argv[0]);
        return 2;
    }
    const unsigned long id = std::strtoul(argv[1], nullptr, 10);
    const unsigned long size = std::strtoul(argv[2], nullptr, 10);
    std::vector<unsigned char> image(size);
    std::uint32_t state = 0x9E3779B9u ^ static_cast<std::uint32_t>(id);
    for (unsigned long i = 0; i < size; ++i) {
        if (i < sizeof zorvik::kFontImageMagic) {
            image[i] = zorvik::kFontImageMagic[i];
            continue;
        }
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        image[i] = static_cast<unsigned char>(state >> 24);
    }
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out || std::fwrite(image.data(), 1, image.size(), out) != image.size() || std::fclose(out) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
