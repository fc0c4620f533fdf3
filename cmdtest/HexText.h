#pragma once
// Command bytes written as hexadecimal text, as the command editor shows them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// Separators between pairs: space, carriage return, line feed, tab and backspace.
bool IsHexSeparator(char c);

// The value given to a pair that holds no hexadecimal digit (for example "zz").
inline constexpr std::uint8_t kUnconvertedPairValue = 0x00;

// Reads the text two characters at a time. Trailing separators are dropped and
// separators are skipped only between pairs; a pair is taken whatever its second
// character is and read like one unsigned hexadecimal number (leading white space
// skipped, either case, stopping at the first non-digit), keeping its low eight
// bits. A lone character at the end is a pair of its own. One byte per pair; no
// length limit.
std::vector<std::uint8_t> ParseHexText(std::string_view text);

// A pair that is not plain hexadecimal: two hex digits, or one hex digit followed
// by a separator or the end of the text. Such a pair would become a byte the user
// never typed. Line and column count from 1.
struct BadHexPair {
    std::size_t offset = 0;  // of the pair's first character in the text
    std::string pair;        // its characters as they stand in the text
    std::size_t line = 0;
    std::size_t column = 0;
    friend bool operator==(const BadHexPair&, const BadHexPair&) = default;
};
std::optional<BadHexPair> FindBadHexPair(std::string_view text);

// The pair for messages: printable characters as they are, others as \xNN.
std::string PrintablePair(std::string_view pair);

// Each byte as two lowercase hexadecimal digits and one space ("1b 21 00 ").
// With pairsPerLine > 0 a line break follows every that many pairs, but not the
// last one, so a long text stays easy to read and to lay out.
std::string FormatHexText(const std::uint8_t* bytes, std::size_t count, std::size_t pairsPerLine = 0);
inline std::string FormatHexText(const std::vector<std::uint8_t>& bytes, std::size_t pairsPerLine = 0)
{
    return FormatHexText(bytes.data(), bytes.size(), pairsPerLine);
}

}  // namespace zorvik
