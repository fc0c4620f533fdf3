// Check Communication with the real ports against the virtual printer: the serial
// port on its pseudo-terminal and the network port on its loopback TCP port.
#include <gtest/gtest.h>

#include "app/ConnectionCheck.h"
#include "app/Identification.h"
#include "link/SystemPortFactory.h"
#include "sim/SimServer.h"
#include "support/RecordingNotifier.h"
#include "support/SimPortSettings.h"

namespace zorvik {
namespace {

struct Row {
    const char* name;
    void (*arrange)(VirtualPrinter&);
    const char* overPty;  // message shown, serial line (byte-wise)
    const char* overTcp;  // message shown, network (packets); none: not run
};

constexpr char kOk[] = "Printer is connected.";
constexpr char kNoId[] = "Fail to get printer ID.\r\n\r\nPlease retry connect";
constexpr char kMaker[] = "This printer don't match our company name.";
constexpr char kModel[] = "The connected printer has different Model name.";

const Row kRows[] = {
    {"Healthy", [](VirtualPrinter&) {}, kOk, kOk},
    {"OtherMaker", [](VirtualPrinter& p) { p.Identity().maker = "KARVA"; }, kMaker, kMaker},
    {"OtherModel", [](VirtualPrinter& p) { p.Identity().model = "LXT-640"; }, kModel, kModel},
    {"UnderscoreInMaker", [](VirtualPrinter& p) { p.Identity().maker = "KAR_VO"; }, kOk, kMaker},
    {"IdOnNinthRetry", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 9; }, kOk, kNoId},
    {"NoIdWithinTenRetries", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 11; }, kNoId, kNoId},
    {"NoIdReply", [](VirtualPrinter& p) { p.Faults().noIdReply = true; }, kNoId, kNoId},
    // Byte by byte, 2 ms apart: the serial reads collect it (packets are one read each).
    {"SplitReplies", [](VirtualPrinter& p) { p.Faults().splitGapMs = 2; }, kOk, nullptr},
};

struct Case {
    Row row;
    bool pty;
    friend void PrintTo(const Case& c, std::ostream* os)
    {
        *os << c.row.name << (c.pty ? " over a pty" : " over TCP");
    }
};

class CheckEndToEndTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start({true, true, 0})) << server.Error(); }

    PortSettings Settings(bool pty) const { return test::SimPortSettings(server, pty); }

    SimServer server;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    PrinterLink link{MakeSystemPortFactory(pacer, notifier, DeviceNames())};
    ConnectionCheck check{link, pacer, notifier};
};

TEST_P(CheckEndToEndTest, ShowsTheMessage)
{
    const Case& c = GetParam();
    server.WithPrinter([&](VirtualPrinter& p) { c.row.arrange(p); });
    const char* expected = c.pty ? c.row.overPty : c.row.overTcp;
    const bool ok = check.Run(c.pty ? InterfaceType::Serial : InterfaceType::Ethernet, Settings(c.pty));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, expected);
    EXPECT_EQ(ok, expected == kOk);
    EXPECT_EQ(link.HasPort(), ok);
}

std::vector<Case> AllCases()
{
    std::vector<Case> cases;
    for (const auto& row : kRows)
        for (bool pty : {true, false})
            if (pty || row.overTcp)
                cases.push_back({row, pty});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Printers, CheckEndToEndTest, ::testing::ValuesIn(AllCases()), [](const auto& info) {
    return std::string(info.param.row.name) + (info.param.pty ? "OverPty" : "OverTcp");
});

class LinkEndToEndTest : public CheckEndToEndTest {};

// A packet reply held back until the first read came back empty arrives on the
// second read and passes; held past two reads, it fails.
TEST_F(LinkEndToEndTest, PacketReplyOnTheSecondRead)
{
    for (int emptyReadsBeforeReply : {1, 2}) {
        server.WithPrinter([](VirtualPrinter& p) { p.Faults().holdReplies = true; });
        ASSERT_NE(link.CreatePort(Settings(false)), 0);
        ASSERT_NE(link.Open(), 0);
        int empty = 0;
        link.SetTrace([&](TraceDirection direction, const std::uint8_t*, int result) {
            if (direction != TraceDirection::Read)
                return;
            if (result == 0 && ++empty == emptyReadsBeforeReply) {
                empty = 0;
                server.ReleaseHeld();
            }
        });
        const IdentifyResult result = IdentifyPrinter(link, InterfaceType::Ethernet, pacer);
        EXPECT_EQ(result, emptyReadsBeforeReply == 1 ? IdentifyResult::Ok : IdentifyResult::NoPrinterId);
        link.SetTrace(nullptr);
        link.Close();
    }
}

// The pty goes away after the port opened: ESC @ cannot be written.
// The line goes before the first command: the drain finds it gone, and the check
// says the printer is disconnected.
TEST_F(LinkEndToEndTest, UnpluggedLineIsDisconnected)
{
    ASSERT_NE(link.CreatePort(Settings(true)), 0);
    ASSERT_NE(link.Open(), 0);
    server.Unplug();
    EXPECT_EQ(IdentifyPrinter(link, InterfaceType::Serial, pacer), IdentifyResult::Disconnected);
}

TEST_F(LinkEndToEndTest, UnpluggedPtyDoesNotOpen)
{
    const PortSettings settings = Settings(true);
    server.Unplug();
    EXPECT_FALSE(check.Run(InterfaceType::Serial, settings));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Can't open port and Printer is disconnected");
}

// Stray bytes waiting on the line are drained before ESC @.
TEST_F(LinkEndToEndTest, StrayBytesAreDrained)
{
    ASSERT_NE(link.CreatePort(Settings(true)), 0);
    ASSERT_NE(link.Open(), 0);
    server.SendUnasked({0x41, 0x6F, 0x42});
    EXPECT_EQ(IdentifyPrinter(link, InterfaceType::Serial, pacer), IdentifyResult::Ok);
}

}  // namespace
}  // namespace zorvik
