#include <gtest/gtest.h>

#include <functional>

#include "resources/CommonTexts.h"
#include "resources/SettingsTexts.h"
#include "settings/StatusSession.h"
#include "support/PortSettingsPrint.h"
#include "support/RecordingNotifier.h"
#include "support/RowName.h"
#include "support/ScriptedPrinter.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::FakePrinterLink;
using test::ManualTimerHost;
using test::RecordingNotifier;

// One-hot patterns: switch e has only pin e+1 on, so a reversed bit order or a
// shifted switch fails.
std::string OneHot(int e)
{
    std::string c = "00000000";
    c[static_cast<std::size_t>(7 - e)] = '1';  // c8 first, c1 last
    return c;
}

struct SessionFixture {
    explicit SessionFixture(InterfaceType type)
        : fake(type == InterfaceType::Serial || type == InterfaceType::Parallel),
          session(*fake.link, type, pacer, notifier, timers)
    {
        for (int e = 0; e < 8; ++e)
            fake.printer.switches[static_cast<std::size_t>(e)] = OneHot(e);
    }
    // Runs the start-up tick and clears what it recorded.
    void Start()
    {
        session.Initialize();
        ASSERT_EQ(timers.armed.count(StatusSession::kTimerStartup), 1u);
        timers.RunAll(session);
        ASSERT_TRUE(notifier.messages.empty()) << notifier.messages[0].text;
        pacer.Clear();
        fake.state->writes.clear();
        fake.state->readCounts.clear();
    }
    std::vector<std::string> Messages() const { return test::MessageTexts(notifier); }

    FakePrinterLink fake;
    VirtualPacer pacer;
    RecordingNotifier notifier;
    ManualTimerHost timers;
    StatusSession session;
};

class ReadingStyleTest : public ::testing::TestWithParam<InterfaceType> {};

TEST_P(ReadingStyleTest, GetStatusFillsThePinsFromTheReplies)
{
    SessionFixture f(GetParam());
    f.Start();
    f.session.GetStatus();
    EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgGetStatusOk});
    for (int e = 0; e < 8; ++e)
        for (int pin = 1; pin <= 8; ++pin)
            EXPECT_EQ(f.session.Record().Pin(e, pin), pin == e + 1 ? PinState::On : PinState::Off)
                << "entry " << e << " pin " << pin;
    EXPECT_EQ(f.session.SettingPage().powerSave, 1);
    EXPECT_EQ(f.session.SettingPage().entranceTime, 30);
    for (int b = 0; b < kStatusButtonCount; ++b)
        EXPECT_TRUE(f.session.ButtonEnabled(static_cast<StatusButton>(b))) << b;
    EXPECT_EQ(f.session.Result(), DialogResult::Running);
    EXPECT_EQ(f.session.SwitchPage().caption, "1");
}

TEST_P(ReadingStyleTest, SetStatusAfterInitializeWritesEveryPinOff)
{
    SessionFixture f(GetParam());
    f.Start();
    f.session.GetStatus();
    f.session.InitializeStatus();
    f.session.SetStatus();
    EXPECT_EQ(f.fake.printer.switchWrites, std::vector<std::string>(8, "00000000"));
    EXPECT_EQ(f.Messages().back(), kMsgSetStatusOk);
    // The power-save setting read by Get Status is written back unchanged.
    ASSERT_EQ(f.fake.printer.powerSets.size(), 1u);
    EXPECT_EQ(test::HexOf(f.fake.printer.powerSets[0]), "08 5E 50 30 01 1E");
}

TEST_P(ReadingStyleTest, PausesOfGetAndSetStatusAreThePrinterProtocols)
{
    const InterfaceType type = GetParam();
    const bool byteWise = type == InterfaceType::Serial || type == InterfaceType::Parallel;
    SessionFixture f(type);
    f.Start();  // identifies the model, so later handshakes skip it

    // Handshake: two sets of five discarded reads byte-wise; the ID poll waits
    // 100 ms, or 200 ms for the packet on USB.
    const std::uint64_t handshake =
        byteWise ? 5 * 100 + 5 * 100 + 100 : (type == InterfaceType::Usb ? 200 : 100);
    // Eight switch replies, the power-save reply (100 ms after the query plus the
    // read's own wait) and five discarded reads byte-wise.
    const std::uint64_t readSettings = byteWise ? 8 * 100 + 100 + 100 + 5 * 100 : 8 * 200 + 100 + 200;
    f.session.GetStatus();
    EXPECT_EQ(f.pacer.Total(), handshake + readSettings);

    // fn 1 reply, 100 ms after fn 2, two 1000 ms waits for the restart, then the
    // version texts (byte-wise: two drains of five 50 ms reads around two text reads).
    const std::uint64_t writeSettings = (byteWise ? 100 : 200) + 100 + 2 * 1000;
    const std::uint64_t versions = byteWise ? 250 + 100 + 250 + 100 : 200 + 200;
    f.pacer.Clear();
    f.session.SetStatus();
    EXPECT_EQ(f.pacer.Total(), handshake + writeSettings + versions);
}

TEST_P(ReadingStyleTest, SilentPrinterEndsTheStartupWithinItsBound)
{
    SessionFixture f(GetParam());
    f.fake.printer.silent = true;
    f.session.Initialize();
    f.timers.RunAll(f.session);
    // A silent printer has no model: the identification refuses it.
    EXPECT_EQ(f.Messages(), (std::vector<std::string>{kMsgModelMismatch, kMsgOtherCompany}));
    EXPECT_EQ(f.session.Result(), DialogResult::Cancel);
    EXPECT_FALSE(f.session.WaitBoxVisible());
}

TEST_P(ReadingStyleTest, PrinterGoneSilentEndsEveryExchangeWithTheRestartMessage)
{
    const InterfaceType type = GetParam();
    SessionFixture f(type);
    f.Start();
    f.session.GetStatus();
    f.fake.printer.silent = true;
    f.notifier.messages.clear();
    f.pacer.Clear();

    f.session.PrintStatus();
    EXPECT_EQ(f.session.Result(), DialogResult::Running);
    f.session.GetStatus();
    EXPECT_EQ(f.Messages(), std::vector<std::string>(2, kMsgRestartPrinter));
    EXPECT_EQ(f.session.Result(), DialogResult::Cancel);
    // The discarded reads, the ID read and ten polls of 100 ms; USB reads one packet
    // and stops.
    const bool byteWise = type == InterfaceType::Serial || type == InterfaceType::Parallel;
    const std::uint64_t silentHandshake =
        byteWise ? 500 + 500 + 100 + 1000 : (type == InterfaceType::Usb ? 200 : 100 + 1000);
    EXPECT_EQ(f.pacer.Total(), 2 * silentHandshake);

    SessionFixture g(type);
    g.Start();
    g.session.GetStatus();
    g.fake.printer.silent = true;
    g.notifier.messages.clear();
    g.session.SetStatus();
    EXPECT_EQ(g.Messages(), std::vector<std::string>{kMsgRestartPrinter});
    EXPECT_EQ(g.fake.printer.switchWrites.size(), 0u);
    // Only Exit stays usable after a failed Set Status handshake.
    for (int b = 0; b < kStatusButtonCount; ++b)
        EXPECT_EQ(g.session.ButtonEnabled(static_cast<StatusButton>(b)),
                  b == static_cast<int>(StatusButton::Exit))
            << b;
    EXPECT_EQ(g.session.Result(), DialogResult::Running);
}

INSTANTIATE_TEST_SUITE_P(Styles, ReadingStyleTest,
                         ::testing::Values(InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Usb,
                                           InterfaceType::Ethernet));

TEST(StatusSessionTest, AllZeroRecordSendsNoChangeForEveryPin)
{
    SessionFixture f(InterfaceType::Serial);
    f.Start();
    f.session.SetStatus();
    EXPECT_EQ(f.fake.printer.switchWrites, std::vector<std::string>(8, "22222222"));
    const Bytes first(f.fake.state->writes.begin()->begin(), f.fake.state->writes.begin()->end());
    // Switch numbers go out in record order.
    std::vector<int> numbers;
    for (const auto& w : f.fake.state->writes)
        if (w.size() == 15 && w[5] == 0x03)
            numbers.push_back(w[6]);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 11, 12}));
    // The page never had a power-save state: nothing invented is written.
    EXPECT_TRUE(f.fake.printer.powerSets.empty());
}

TEST(StatusSessionTest, OddCharacterInASwitchReplyIsSentBackAsNoChange)
{
    SessionFixture f(InterfaceType::Usb);
    f.fake.printer.switches[4] = "0x100101";
    f.Start();
    f.session.GetStatus();
    f.session.SetStatus();
    ASSERT_EQ(f.fake.printer.switchWrites.size(), 8u);
    EXPECT_EQ(f.fake.printer.switchWrites[4], "02100101");
}

struct EntranceCase {
    int seconds;
    int powerSave;
    bool accepted;
    friend void PrintTo(const EntranceCase& c, std::ostream* os)
    {
        *os << c.seconds << " s, power save " << c.powerSave;
    }
};

class EntranceTimeTest : public ::testing::TestWithParam<EntranceCase> {};

TEST_P(EntranceTimeTest, SetStatusRefusesTimesOutsideSixTo255)
{
    const EntranceCase c = GetParam();
    SessionFixture f(InterfaceType::Ethernet);
    f.Start();
    f.session.GetStatus();
    f.notifier.messages.clear();
    f.fake.state->writes.clear();
    f.session.SettingPage().entranceTime = c.seconds;
    f.session.SettingPage().powerSave = c.powerSave;
    f.session.SetStatus();
    if (c.accepted) {
        EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgSetStatusOk});
        ASSERT_EQ(f.fake.printer.powerSets.size(), 1u);
        EXPECT_EQ(f.fake.printer.powerSets[0][4], c.powerSave);
        EXPECT_EQ(f.fake.printer.powerSets[0][5], c.seconds);
    } else {
        EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgEntranceRange});
        EXPECT_EQ(f.notifier.messages[0].title, kTitleWarning);
        EXPECT_EQ(f.session.SettingPage().entranceTime, 20);
        EXPECT_TRUE(f.fake.printer.switchWrites.empty());
        EXPECT_TRUE(f.session.ButtonEnabled(StatusButton::SetStatus));
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, EntranceTimeTest,
                         ::testing::Values(EntranceCase{6, 1, true}, EntranceCase{255, 0, true},
                                           EntranceCase{5, 1, false}, EntranceCase{256, 1, false},
                                           EntranceCase{5, 0, false}, EntranceCase{0, 0, false}));

struct ShortPowerCase {
    InterfaceType type;
    int length;
    friend void PrintTo(const ShortPowerCase& c, std::ostream* os)
    {
        *os << c.type << ", " << c.length << " bytes";
    }
};

class ShortPowerReplyTest : public ::testing::TestWithParam<ShortPowerCase> {};

TEST_P(ShortPowerReplyTest, PageKeepsItsPowerSaveValues)
{
    const ShortPowerCase c = GetParam();
    SessionFixture f(c.type);
    f.Start();
    f.fake.printer.powerFlag = 0;
    f.fake.printer.powerSeconds = 45;
    f.session.GetStatus();  // a whole reply: Disable, 45 s
    ASSERT_EQ(f.session.SettingPage().powerSave, 0);
    f.fake.printer.powerFlag = 1;
    f.fake.printer.powerSeconds = 99;
    f.fake.printer.powerReplyLength = c.length;
    f.session.GetStatus();
    EXPECT_EQ(f.session.SettingPage().powerSave, 0);
    EXPECT_EQ(f.session.SettingPage().entranceTime, 45);
    f.session.SetStatus();
    ASSERT_EQ(f.fake.printer.powerSets.size(), 1u);
    EXPECT_EQ(test::HexOf(f.fake.printer.powerSets[0]), "08 5E 50 30 00 2D");
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShortPowerReplyTest,
                         ::testing::Values(ShortPowerCase{InterfaceType::Serial, 0},
                                           ShortPowerCase{InterfaceType::Serial, 2},
                                           ShortPowerCase{InterfaceType::Usb, 0},
                                           ShortPowerCase{InterfaceType::Ethernet, 1}));

struct BabbleCase {
    const char* name;
    friend void PrintTo(const BabbleCase& row, std::ostream* os) { *os << row.name; }
    bool endlessText;
    bool noSwitchHeader;
};

class BoundedWaitTest : public ::testing::TestWithParam<BabbleCase> {};

TEST_P(BoundedWaitTest, ByteWiseLoopsFailWithTheRestartMessage)
{
    const BabbleCase c = GetParam();
    SessionFixture f(InterfaceType::Serial);
    f.Start();
    const SettingsRecord before = f.session.Record();
    f.fake.printer.endlessText = c.endlessText;
    f.fake.printer.noSwitchHeader = c.noSwitchHeader;
    f.session.SettingPage().firmwareText.clear();  // make the handshake identify again
    f.session.GetStatus();
    EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgRestartPrinter}) << c.name;
    EXPECT_EQ(f.session.Record(), before);
    EXPECT_LT(f.fake.state->readCounts.size(), 2000u);
}

INSTANTIATE_TEST_SUITE_P(Faults, BoundedWaitTest,
                         ::testing::Values(BabbleCase{"text without end", true, false},
                                           BabbleCase{"switch reply without header", false, true}),
                         test::RowName());

// A switch reply that comes late, in pieces, after a stray byte, cut short or with a
// wrong second byte, on one switch: Get Status either reads exactly what the printer
// holds or fails with the restart message and keeps the record. Never a success
// with other values.
enum class Expect { Exact, ExactOrFail, Fail };
struct ShapeCase {
    const char* name;
    std::function<std::vector<Bytes>(const Bytes& reply)> shape;
    Expect expect;
};

std::vector<Bytes> Late(int emptyReads, const Bytes& reply)
{
    std::vector<Bytes> pieces(static_cast<std::size_t>(emptyReads));
    pieces.push_back(reply);
    return pieces;
}

std::vector<Bytes> Pieces(std::size_t size, const Bytes& reply)
{
    std::vector<Bytes> pieces;
    for (std::size_t i = 0; i < reply.size(); i += size)
        pieces.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(i),
                            reply.begin() + static_cast<std::ptrdiff_t>(std::min(reply.size(), i + size)));
    return pieces;
}

const ShapeCase kShapeCases[] = {
    {"late by one read", [](const Bytes& r) { return Late(1, r); }, Expect::ExactOrFail},
    {"late by two reads", [](const Bytes& r) { return Late(2, r); }, Expect::ExactOrFail},
    {"late by eight reads", [](const Bytes& r) { return Late(8, r); }, Expect::ExactOrFail},
    {"split in single bytes", [](const Bytes& r) { return Pieces(1, r); }, Expect::Exact},
    {"split in threes", [](const Bytes& r) { return Pieces(3, r); }, Expect::Exact},
    {"stray byte first",
     [](const Bytes& r) {
         Bytes b{0xA5};
         b.insert(b.end(), r.begin(), r.end());
         return std::vector<Bytes>{b};
     },
     Expect::Exact},
    {"truncated", [](const Bytes& r) { return std::vector<Bytes>{Bytes(r.begin(), r.end() - 3)}; },
     Expect::Fail},
    {"wrong second byte",
     [](const Bytes& r) {
         Bytes b = r;
         b[1] = 0x22;
         return std::vector<Bytes>{b};
     },
     Expect::Fail},
    {"header only", [](const Bytes& r) { return std::vector<Bytes>{Bytes(r.begin(), r.begin() + 1)}; },
     Expect::Fail},
};

TEST(StatusSessionTest, MisshapenSwitchRepliesAreReadWholeOrFailTheAction)
{
    for (InterfaceType type : {InterfaceType::Serial, InterfaceType::Usb, InterfaceType::Ethernet}) {
        for (int number : {1, 2, 11, 12}) {
            for (const ShapeCase& c : kShapeCases) {
                SCOPED_TRACE(std::string(c.name) + ", switch " + std::to_string(number) + ", interface " +
                             std::to_string(CodeNumber(type)));
                SessionFixture f(type);
                f.Start();
                f.session.GetStatus();
                const SettingsRecord before = f.session.Record();
                // The printer now holds other values; one switch's reply is misshapen.
                for (auto& bits : f.fake.printer.switches)
                    for (char& ch : bits)
                        ch = ch == '1' ? '0' : '1';
                f.fake.printer.switchShape = [&c, number](int n, const Bytes& reply) {
                    return n == number ? c.shape(reply) : std::vector<Bytes>{reply};
                };
                f.notifier.messages.clear();
                f.session.GetStatus();
                const bool ok = f.Messages() == std::vector<std::string>{kMsgGetStatusOk};
                if (ok) {
                    EXPECT_NE(c.expect, Expect::Fail);
                    for (int e = 0; e < 8; ++e)
                        for (int pin = 1; pin <= 8; ++pin)
                            ASSERT_EQ(f.session.Record().Pin(e, pin),
                                      pin == e + 1 ? PinState::Off : PinState::On)
                                << "entry " << e << " pin " << pin;
                } else {
                    EXPECT_NE(c.expect, Expect::Exact);
                    EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgRestartPrinter});
                    EXPECT_EQ(f.session.Record(), before);
                }
            }
        }
    }
}

// The printer goes away right after the handshake of Set Status: the writes stop at
// the first one refused, and no success is shown.
TEST(StatusSessionTest, SetStatusToAPrinterThatWentAwayShowsNoSuccess)
{
    for (InterfaceType type : {InterfaceType::Serial, InterfaceType::Ethernet}) {
        SessionFixture f(type);
        f.Start();
        f.session.GetStatus();
        auto respond = f.fake.state->responder;
        f.fake.state->responder = [respond](const Bytes& w, test::FakePortState& s) {
            respond(w, s);
            if (w == test::BytesOf({0x1D, 0x49, 0x03}))
                s.writeLimit = 0;  // gone after its "o"
        };
        f.notifier.messages.clear();
        f.session.SetStatus();
        EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgRestartPrinter}) << type;
        EXPECT_TRUE(f.fake.printer.switchWrites.empty());
        EXPECT_TRUE(f.session.ButtonEnabled(StatusButton::SetStatus));
    }
}

TEST(StatusSessionTest, UsbReadsThePrinterIdOncePerHandshakeAndEthernetPolls)
{
    for (InterfaceType type : {InterfaceType::Usb, InterfaceType::Ethernet}) {
        SessionFixture f(type);
        f.Start();
        f.fake.printer.silent = true;
        f.session.PrintStatus();
        std::size_t afterId = 0;
        for (std::uint32_t count : f.fake.state->readCounts)
            afterId += count == 1;
        // USB: one 16-byte packet read and its retry; Ethernet: one read and ten polls.
        EXPECT_EQ(afterId, type == InterfaceType::Usb ? 0u : 11u) << type;
        EXPECT_EQ(f.Messages(), std::vector<std::string>{kMsgRestartPrinter});
    }
}

TEST(StatusSessionTest, PrintCommandsAndTheirHandshake)
{
    SessionFixture f(InterfaceType::Serial);
    f.Start();
    f.session.PrintCodepage();
    ASSERT_EQ(f.fake.state->writes.size(), 1u);
    EXPECT_EQ(test::HexOf(f.fake.state->writes[0]), "08 39 02 00");
    f.session.PrintStatus();
    EXPECT_EQ(test::HexOf(f.fake.state->writes.back()), "08 39 01 00");
    EXPECT_EQ(test::HexOf(f.fake.state->writes[1]), "1B 40");
}

TEST(StatusSessionTest, WrongModelIsRefused)
{
    SessionFixture f(InterfaceType::Ethernet);
    f.fake.printer.model = "XY-100";
    f.session.Initialize();
    f.timers.RunAll(f.session);
    EXPECT_EQ(f.Messages(), (std::vector<std::string>{kMsgModelMismatch, kMsgOtherCompany}));
    EXPECT_EQ(f.session.Result(), DialogResult::Cancel);
    // A model name with other characters in front still passes.
    SessionFixture g(InterfaceType::Serial);
    g.fake.printer.model = "KARVO LXT-640IV";
    g.Start();
    EXPECT_EQ(g.session.SettingPage().modelText, "KARVO LXT-640IV");
    EXPECT_EQ(g.session.SettingPage().firmwareText, "V1.02");
    EXPECT_EQ(g.session.SettingPage().languageText, "ENG");
    EXPECT_TRUE(g.session.ButtonEnabled(StatusButton::GetStatus));
    EXPECT_FALSE(g.session.ButtonEnabled(StatusButton::SetStatus));
}

TEST(StatusSessionTest, ProgressStepsOnlyAfterTheFirstSetStatus)
{
    SessionFixture f(InterfaceType::Ethernet);
    f.Start();
    std::vector<int> positions;
    f.session.onProgress = [&](int p) { positions.push_back(p); };
    f.session.GetStatus();
    EXPECT_EQ(f.session.ProgressStep(), 0);
    for (int p : positions)
        EXPECT_TRUE(p == 0 || p == 50 || p == 70 || p == 90 || p == 100) << p;
    f.session.SetStatus();
    EXPECT_EQ(f.session.ProgressStep(), 10);
}

}  // namespace
}  // namespace zorvik
