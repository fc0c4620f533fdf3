// Hex text of the command editor: any text parses without harm, a text the editor
// accepts comes back unchanged through formatting, and any bytes survive being
// shown as text and parsed again.
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"

#include "cmdtest/HexText.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = ParseHexText(text);
    Require(parsed.size() <= size);
    const auto bad = FindBadHexPair(text);
    if (bad) {
        Require(bad->offset < size && bad->line >= 1 && bad->column >= 1);
        Require(text.substr(bad->offset, bad->pair.size()) == bad->pair);
    } else {
        for (std::size_t perLine : {std::size_t{0}, std::size_t{16}}) {
            const std::string canonical = FormatHexText(parsed, perLine);
            Require(ParseHexText(canonical) == parsed);
            Require(!FindBadHexPair(canonical));
        }
    }

    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::string shown = FormatHexText(bytes, 16);
    Require(shown.size() == size * 3 + (size ? (size - 1) / 16 : 0));
    Require(ParseHexText(shown) == bytes);
    return 0;
}
