#include <gtest/gtest.h>

#include "cmdtest/HexText.h"
#include "support/FakePort.h"

namespace zorvik {

// Readable mismatch reports.
void PrintTo(const BadHexPair& bad, std::ostream* os)
{
    *os << '"' << PrintablePair(bad.pair) << "\" at " << bad.offset << ", line " << bad.line << ", column "
        << bad.column;
}

namespace {

using test::Bytes;
using test::BytesOf;
using test::HexOf;

struct ParseCase {
    const char* text;
    Bytes expected;
};

TEST(ParseHexText, PairsAsTheEditorReadsThem)
{
    const ParseCase cases[] = {
        {"1B 45 01", BytesOf({0x1B, 0x45, 0x01})},
        {"1b4501", BytesOf({0x1B, 0x45, 0x01})},
        {"1b 45 01\r\n", BytesOf({0x1B, 0x45, 0x01})},
        {"1b 45 01\n", BytesOf({0x1B, 0x45, 0x01})},
        {"\t1b\b2c \n", BytesOf({0x1B, 0x2C})},
        {"1b 2", BytesOf({0x1B, 0x02})},
        {"123", BytesOf({0x12, 0x03})},
        {"1 b", BytesOf({0x01, 0x0B})},
        {"1b\n2", BytesOf({0x1B, 0x02})},
        {"", {}},
        {" \r\n\t\b ", {}},
        // A pair without a digit becomes 00; a digit stops at the first non-digit.
        {"zz", BytesOf({0x00})},
        {"g1 ff", BytesOf({0x00, 0xFF})},
        {"1g", BytesOf({0x01})},
        {"-1", BytesOf({0x00})},
        // Vertical tab and form feed are no separators, but the number scan skips them.
        {"\v1", BytesOf({0x01})},
        {"\f", BytesOf({0x00})},
        // Separators count only between pairs: "1 " is a pair, so " 2" is the next one.
        {"1  2", BytesOf({0x01, 0x02})},
        {"1c 70 3 00 ", BytesOf({0x1C, 0x70, 0x03, 0x00})},
        {"1c 70  00 ", BytesOf({0x1C, 0x70, 0x00})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexOf(ParseHexText(c.text)), HexOf(c.expected)) << '"' << c.text << '"';
}

TEST(ParseHexText, NoLengthLimit)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "a5 ";
    const auto bytes = ParseHexText(text);
    ASSERT_EQ(bytes.size(), 200000u);
    EXPECT_EQ(bytes.back(), 0xA5);
}

struct BadCase {
    const char* text;
    std::optional<BadHexPair> expected;
};

TEST(FindBadHexPair, NamesTheFirstPairThatIsNotHexadecimal)
{
    const BadCase cases[] = {
        {"1b 45 01 ", std::nullopt},
        {"1b 2", std::nullopt},
        {"1 b", std::nullopt},
        {"123", std::nullopt},
        {"1c 70 3 00 ", std::nullopt},
        {" \n ", std::nullopt},
        {"1b zz 00", BadHexPair{3, "zz", 1, 4}},
        {"1b\n 4g 00", BadHexPair{4, "4g", 2, 2}},
        {"1b-1", BadHexPair{2, "-1", 1, 3}},
        {"1g", BadHexPair{0, "1g", 1, 1}},
        {"1b x", BadHexPair{3, "x", 1, 4}},
        {"0x1b", BadHexPair{0, "0x", 1, 1}},
        {"\v1", BadHexPair{0, "\v1", 1, 1}},
        {"1b 45\r\n\xC3\xA9", BadHexPair{7, "\xC3\xA9", 2, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindBadHexPair(c.text), c.expected) << '"' << c.text << '"';
}

TEST(PrintablePair, ControlAndHighBytesAreEscaped)
{
    EXPECT_EQ(PrintablePair("zz"), "zz");
    EXPECT_EQ(PrintablePair("\v1"), "\\x0b1");
    EXPECT_EQ(PrintablePair("\xC3\xA9"), "\\xc3\\xa9");
}

TEST(FormatHexText, LowercasePairsEachFollowedByASpace)
{
    EXPECT_EQ(FormatHexText(BytesOf({0x1B, 0x21, 0x00})), "1b 21 00 ");
    EXPECT_EQ(FormatHexText(Bytes{}), "");
    EXPECT_EQ(FormatHexText(BytesOf({1, 2, 3, 4, 5}), 2), "01 02 \n03 04 \n05 ");
    EXPECT_EQ(FormatHexText(BytesOf({1, 2, 3, 4}), 2), "01 02 \n03 04 ");
}

TEST(FormatHexText, EveryByteValueParsesBack)
{
    Bytes all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<std::uint8_t>(i));
    for (std::size_t perLine : {0u, 1u, 16u}) {
        const std::string text = FormatHexText(all, perLine);
        EXPECT_EQ(ParseHexText(text), all) << perLine;
        EXPECT_EQ(FindBadHexPair(text), std::nullopt) << perLine;
    }
}

}  // namespace
}  // namespace zorvik
