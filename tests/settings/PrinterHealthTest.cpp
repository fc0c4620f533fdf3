// The real-time status: each bit of each of the four status bytes decoded to its
// state and word, and the exchange that asks for them taking only whole, framed
// replies, byte-wise and as packets.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <vector>

#include "settings/PrinterExchange.h"
#include "settings/PrinterHealth.h"
#include "support/ScriptedPrinter.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::HexOf;

constexpr std::uint8_t kQuiet = 0x12;  // the fixed bits alone: nothing to report

struct BitRow {
    int request;
    int bit;
    std::optional<HealthState> state;  // none: a bit that reports nothing of health
    HealthWord word;
    friend void PrintTo(const BitRow& row, std::ostream* os)
    {
        *os << "n=" << row.request << " bit " << row.bit;
    }
};

// Every bit that is not one of the fixed ones (0, 1, 4, 7).
const BitRow kBitRows[] = {
    {1, 2, std::nullopt, HealthWord::Ready},  // drawer kick-out connector
    {1, 3, HealthState::Offline, HealthWord::Offline},
    {1, 5, HealthState::WaitingForRecovery, HealthWord::Offline},
    {1, 6, HealthState::FeedButtonPressed, HealthWord::Ready},
    {2, 2, HealthState::CoverOpen, HealthWord::CoverOpen},
    {2, 3, HealthState::PaperFedByButton, HealthWord::Ready},
    {2, 5, HealthState::StoppedByPaperEnd, HealthWord::PaperOut},
    {2, 6, HealthState::ErrorOccurred, HealthWord::Error},
    {3, 2, HealthState::RecoverableError, HealthWord::Error},
    {3, 3, HealthState::CutterError, HealthWord::Error},
    {3, 5, HealthState::UnrecoverableError, HealthWord::Error},
    {3, 6, HealthState::AutoRecoverableError, HealthWord::Error},
    {4, 2, HealthState::PaperNearEnd, HealthWord::PaperLow},
    {4, 3, HealthState::PaperNearEnd, HealthWord::PaperLow},
    {4, 5, HealthState::PaperEnd, HealthWord::PaperOut},
    {4, 6, HealthState::PaperEnd, HealthWord::PaperOut},
};

class HealthBitTest : public ::testing::TestWithParam<BitRow> {};

TEST_P(HealthBitTest, OneBitShowsItsStateAndNothingElse)
{
    const BitRow& row = GetParam();
    PrinterHealth::StatusBytes bytes{kQuiet, kQuiet, kQuiet, kQuiet};
    bytes[static_cast<std::size_t>(row.request - 1)] |= static_cast<std::uint8_t>(1u << row.bit);
    const PrinterHealth health(bytes);
    ASSERT_TRUE(health.Known());
    const std::vector<HealthState> expected =
        row.state ? std::vector<HealthState>{*row.state} : std::vector<HealthState>{};
    EXPECT_EQ(health.States(), expected);
    EXPECT_EQ(health.StatesOf(row.request), expected);
    for (int other = 1; other <= PrinterHealth::kRequests; ++other) {
        if (other != row.request) {
            EXPECT_TRUE(health.StatesOf(other).empty()) << "request " << other;
        }
    }
    EXPECT_EQ(health.Word(), row.word);
    EXPECT_EQ(health.Ready(), row.word == HealthWord::Ready);
    EXPECT_EQ(health.NeedsAttention(), row.word != HealthWord::Ready);
}

INSTANTIATE_TEST_SUITE_P(EveryBit, HealthBitTest, ::testing::ValuesIn(kBitRows), [](const auto& info) {
    return "n" + std::to_string(info.param.request) + "bit" + std::to_string(info.param.bit);
});

// The word that matters most when several states show at once.
TEST(HealthWordTest, TheWorstStateNamesThePrinter)
{
    struct Row {
        PrinterHealth::StatusBytes bytes;
        HealthWord word;
        const char* summary;
    };
    const Row rows[] = {
        {{0x12, 0x12, 0x12, 0x12}, HealthWord::Ready, "ready"},
        {{0x1A, 0x16, 0x12, 0x12}, HealthWord::CoverOpen, "cover open: offline, cover open"},
        {{0x1A, 0x32, 0x12, 0x7E},
         HealthWord::PaperOut,
         "paper out: offline, printing stopped by paper end, paper near end, paper end"},
        {{0x1A, 0x56, 0x1A, 0x1E},
         HealthWord::Error,
         "error: offline, cover open, error, cutter error, paper near end"},
        {{0x1A, 0x12, 0x12, 0x1E}, HealthWord::Offline, "offline: offline, paper near end"},
        {{0x52, 0x1A, 0x12, 0x12},
         HealthWord::Ready,
         "ready: feed button pressed, paper being fed by the feed button"},
    };
    for (const Row& row : rows) {
        const PrinterHealth health(row.bytes);
        EXPECT_EQ(health.Word(), row.word) << row.summary;
        EXPECT_EQ(health.Summary(), row.summary);
    }
    EXPECT_EQ(PrinterHealth().Word(), HealthWord::Unknown);
    EXPECT_FALSE(PrinterHealth().Ready());
    EXPECT_FALSE(PrinterHealth().NeedsAttention());
    EXPECT_EQ(PrinterHealth().Summary(), "unknown");
}

// What the printer does to the four requests; each reply is queued as the chunks given.
struct ExchangeRow {
    const char* name;
    std::vector<std::vector<Bytes>> replies;  // per request 1..4; missing: silent
    std::vector<Bytes> after;                 // what comes after the fourth reply
    bool gone = false;                        // the connection breaks once the chunks are used up
    ExchangeStatus status;
    std::optional<PrinterHealth::StatusBytes> bytes;  // the bytes taken, when Ok
    friend void PrintTo(const ExchangeRow& row, std::ostream* os) { *os << row.name; }
};

std::vector<std::vector<Bytes>> Each(std::vector<Bytes> four)
{
    std::vector<std::vector<Bytes>> replies;
    for (auto& reply : four)
        replies.push_back({reply});
    return replies;
}

const ExchangeRow kExchangeRows[] = {
    {"healthy",
     Each({{0x12}, {0x12}, {0x12}, {0x12}}),
     {},
     false,
     ExchangeStatus::Ok,
     PrinterHealth::StatusBytes{0x12, 0x12, 0x12, 0x12}},
    {"paper end",
     Each({{0x1A}, {0x32}, {0x12}, {0x7E}}),
     {},
     false,
     ExchangeStatus::Ok,
     PrinterHealth::StatusBytes{0x1A, 0x32, 0x12, 0x7E}},
    {"bit 0 set", Each({{0x12}, {0x13}, {0x12}, {0x12}}), {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"bit 1 clear", Each({{0x10}, {0x12}, {0x12}, {0x12}}), {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"bit 4 clear", Each({{0x12}, {0x12}, {0x02}, {0x12}}), {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"bit 7 set", Each({{0x12}, {0x12}, {0x12}, {0x92}}), {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"a byte of another reply",
     Each({{0x12}, {0x6F}, {0x12}, {0x12}}),
     {},
     false,
     ExchangeStatus::NoReply,
     std::nullopt},
    {"silent", {}, {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"silent to the third", Each({{0x12}, {0x12}}), {}, false, ExchangeStatus::NoReply, std::nullopt},
    {"hangs up after the second",
     Each({{0x12}, {0x12}}),
     {},
     true,
     ExchangeStatus::Disconnected,
     std::nullopt},
    {"babbles after the last",
     Each({{0x12}, {0x12}, {0x12}, {0x12}}),
     {{0x12}, {0x12}, {0x12}, {0x12}, {0x12}, {0x12}},
     false,
     ExchangeStatus::NoReply,
     std::nullopt},
};

class HealthExchangeTest : public ::testing::TestWithParam<std::tuple<ExchangeRow, bool>> {};

TEST_P(HealthExchangeTest, TakesOnlyFourWholeFramedReplies)
{
    const auto& [row, byteWise] = GetParam();
    test::FakePrinterLink fake(byteWise);
    int asked = 0;
    fake.state->gone = row.gone;
    fake.state->responder = [&](const Bytes& written, test::FakePortState& state) {
        ++asked;
        const auto n = static_cast<std::size_t>(asked - 1);
        if (n < row.replies.size())
            for (const Bytes& chunk : row.replies[n])
                state.Queue(chunk);
        if (asked == PrinterHealth::kRequests)
            for (const Bytes& chunk : row.after)
                state.Queue(chunk);
        (void)written;
    };
    VirtualPacer pacer;
    PrinterExchange exchange(*fake.link, byteWise ? InterfaceType::Serial : InterfaceType::Ethernet, pacer);
    PrinterHealth health;
    EXPECT_EQ(exchange.ReadHealth(health), row.status);
    if (row.bytes) {
        ASSERT_TRUE(health.Known());
        EXPECT_EQ(*health.Bytes(), *row.bytes);
    } else {
        EXPECT_FALSE(health.Known());
        EXPECT_EQ(health.Word(), HealthWord::Unknown);
    }
    // DLE EOT 1, 2, 3, 4, each on its own, up to the first that went unanswered.
    for (std::size_t i = 0; i < fake.state->writes.size(); ++i)
        EXPECT_EQ(HexOf(fake.state->writes[i]), HexOf({0x10, 0x04, static_cast<std::uint8_t>(i + 1)}));
    if (row.status == ExchangeStatus::Ok) {
        EXPECT_EQ(fake.state->writes.size(), 4u);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, HealthExchangeTest,
                         ::testing::Combine(::testing::ValuesIn(kExchangeRows), ::testing::Bool()),
                         [](const auto& info) {
                             std::string name = std::get<0>(info.param).name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + (std::get<1>(info.param) ? "_ByteWise" : "_Packets");
                         });

// As a packet, the reply must be the one byte alone.
TEST(HealthExchangePacketTest, APacketOfMoreThanOneByteIsNoReply)
{
    test::FakePrinterLink fake(false);
    fake.state->responder = [](const Bytes&, test::FakePortState& state) { state.Queue({0x12, 0x12}); };
    VirtualPacer pacer;
    PrinterExchange exchange(*fake.link, InterfaceType::Ethernet, pacer);
    PrinterHealth health;
    EXPECT_EQ(exchange.ReadHealth(health), ExchangeStatus::NoReply);
    EXPECT_FALSE(health.Known());
}

}  // namespace
}  // namespace zorvik
