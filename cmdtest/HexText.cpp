#include "cmdtest/HexText.h"

#include <algorithm>
#include <array>

namespace zorvik {
namespace {

constexpr char kDigits[] = "0123456789abcdef";

// Digit values by character; -1 for a character that is no hexadecimal digit.
constexpr auto kDigitValues = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i)
        values['0' + i] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
        values['a' + i] = static_cast<signed char>(10 + i);
        values['A' + i] = static_cast<signed char>(10 + i);
    }
    return values;
}();

int HexDigit(char c)
{
    return kDigitValues[static_cast<unsigned char>(c)];
}

// White space as a number scan skips it (the C locale's set).
bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Calls onPair(offset, pair) for every pair of the text, in order.
template <typename OnPair>
void ForEachPair(std::string_view text, OnPair&& onPair)
{
    std::size_t end = text.size();
    while (end > 0 && IsHexSeparator(text[end - 1]))
        --end;
    std::size_t i = 0;
    while (i < end) {
        while (IsHexSeparator(text[i]))  // stops before end: text[end - 1] is no separator
            ++i;
        const std::size_t length = std::min<std::size_t>(2, end - i);
        if (!onPair(i, text.substr(i, length)))
            return;
        i += length;
    }
}

std::uint8_t PairValue(std::string_view pair)
{
    std::size_t k = 0;
    while (k < pair.size() && IsScanSpace(pair[k]))
        ++k;
    unsigned value = 0;
    bool converted = false;
    for (; k < pair.size(); ++k) {
        const int digit = HexDigit(pair[k]);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<unsigned>(digit);
        converted = true;
    }
    return converted ? static_cast<std::uint8_t>(value & 0xFF) : kUnconvertedPairValue;
}

bool IsPlainPair(std::string_view pair)
{
    if (HexDigit(pair[0]) < 0)
        return false;
    return pair.size() == 1 || HexDigit(pair[1]) >= 0 || IsHexSeparator(pair[1]);
}

}  // namespace

bool IsHexSeparator(char c)
{
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\b';
}

std::vector<std::uint8_t> ParseHexText(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 3 + 1);
    ForEachPair(text, [&](std::size_t, std::string_view pair) {
        bytes.push_back(PairValue(pair));
        return true;
    });
    return bytes;
}

std::optional<BadHexPair> FindBadHexPair(std::string_view text)
{
    std::optional<BadHexPair> bad;
    ForEachPair(text, [&](std::size_t offset, std::string_view pair) {
        if (IsPlainPair(pair))
            return true;
        bad = BadHexPair{offset, std::string(pair), 1, 1};
        return false;
    });
    if (!bad)
        return bad;
    const std::string_view before = text.substr(0, bad->offset);
    const std::size_t lineStart = before.rfind('\n');
    bad->line += static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    // Every character before the first bad pair belongs to a plain pair or is a
    // separator, so bytes and characters count alike.
    bad->column += lineStart == std::string_view::npos ? before.size() : before.size() - lineStart - 1;
    return bad;
}

std::string PrintablePair(std::string_view pair)
{
    std::string out;
    for (char c : pair) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        }
    }
    return out;
}

std::string FormatHexText(const std::uint8_t* bytes, std::size_t count, std::size_t pairsPerLine)
{
    std::string text;
    text.reserve(count * 3 + (pairsPerLine ? count / pairsPerLine : 0));
    for (std::size_t i = 0; i < count; ++i) {
        if (pairsPerLine && i > 0 && i % pairsPerLine == 0)
            text += '\n';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
        text += ' ';
    }
    return text;
}

}  // namespace zorvik
