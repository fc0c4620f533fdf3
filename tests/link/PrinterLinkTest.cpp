#include <gtest/gtest.h>

#include "link/PrinterLink.h"
#include "support/FakePort.h"

namespace zorvik {
namespace {

using test::FakePortFactory;
using test::FakePortState;

struct ClassifyCase {
    const char* name;
    std::uint32_t tcpPort;
    std::optional<InterfaceType> expected;
    friend void PrintTo(const ClassifyCase& c, std::ostream* os)
    {
        *os << '"' << c.name << "\" port " << c.tcpPort;
    }
};

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyTest, PortNameChoosesTheInterface)
{
    const auto& c = GetParam();
    EXPECT_EQ(ClassifyPortName(c.name, c.tcpPort), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClassifyTest,
    ::testing::Values(ClassifyCase{"COM3", 0, InterfaceType::Serial},
                      ClassifyCase{"\\\\.\\COM12", 0, InterfaceType::Serial},
                      ClassifyCase{"LPT2", 0, InterfaceType::Parallel},
                      // Lower case does not match COM or LPT and falls through to the later tests.
                      ClassifyCase{"com3", 0, std::nullopt},
                      ClassifyCase{"lpt1", 9100, InterfaceType::Ethernet},
                      ClassifyCase{"LXT-640IV:/sys/bus/usb/1-2", 0, InterfaceType::Usb},
                      ClassifyCase{"LXT-640IV", 0, InterfaceType::Usb},
                      ClassifyCase{"10.0.0.5", 9100, InterfaceType::Ethernet},
                      ClassifyCase{"10.0.0.5", 0, std::nullopt},
                      ClassifyCase{"/dev/ttyUSB0", 0, InterfaceType::Serial},
                      ClassifyCase{"/dev/lp0", 0, InterfaceType::Parallel},
                      ClassifyCase{"/dev/parport1", 0, InterfaceType::Parallel},
                      ClassifyCase{"", 0, std::nullopt}, ClassifyCase{"CO", 0, std::nullopt}));

class PrinterLinkTest : public ::testing::Test {
protected:
    std::shared_ptr<FakePortState> state = std::make_shared<FakePortState>();
    FakePortFactory* factory = nullptr;
    std::unique_ptr<PrinterLink> link;

    void SetUp() override
    {
        auto f = std::make_unique<FakePortFactory>(state);
        factory = f.get();
        link = std::make_unique<PrinterLink>(std::move(f));
    }
};

TEST_F(PrinterLinkTest, UsbPortReceivesOnlyThePath)
{
    ASSERT_NE(link->CreatePort({.portName = "LXT-640IV:/dev/usb/lp0"}), 0);
    EXPECT_EQ(link->Type(), InterfaceType::Usb);
    ASSERT_EQ(state->configured.size(), 1u);
    EXPECT_EQ(state->configured[0].portName, "/dev/usb/lp0");
}

TEST_F(PrinterLinkTest, BareModelNameGivesAnEmptyPathThatTheUsbPortRefuses)
{
    state->configureResult = 0;
    EXPECT_EQ(link->CreatePort({.portName = "LXT-640IV"}), 0);
    ASSERT_EQ(state->configured.size(), 1u);
    EXPECT_EQ(state->configured[0].portName, "");
    // The refused port object stays until the next CreatePort.
    EXPECT_TRUE(link->HasPort());
    EXPECT_EQ(state->destroyed, 0);
}

TEST_F(PrinterLinkTest, AddressWithoutTcpPortCreatesNothingAndKeepsTheType)
{
    ASSERT_NE(link->CreatePort({.portName = "LPT1"}), 0);
    EXPECT_EQ(link->CreatePort({.portName = "10.0.0.5", .tcpPort = 0}), 0);
    EXPECT_FALSE(link->HasPort());
    EXPECT_EQ(link->Type(), InterfaceType::Parallel);
    EXPECT_EQ(factory->made, std::vector<InterfaceType>{InterfaceType::Parallel});
}

TEST_F(PrinterLinkTest, SecondCreatePortReleasesTheLeftoverObjectFirst)
{
    state->openResult = 0;
    ASSERT_NE(link->CreatePort({.portName = "COM1"}), 0);
    EXPECT_EQ(link->Open(), 0);
    ASSERT_NE(link->CreatePort({.portName = "10.0.0.5", .tcpPort = 9100}), 0);
    EXPECT_EQ(state->destroyed, 1);
    EXPECT_EQ(link->Type(), InterfaceType::Ethernet);
}

TEST_F(PrinterLinkTest, OperationsWithoutAPortReturnZero)
{
    std::uint8_t b[4] = {1, 2, 3, 4};
    EXPECT_EQ(link->Open(), 0);
    EXPECT_EQ(link->Write(b, 4), 0);
    EXPECT_EQ(link->Read(b, 4, 1000), 0);
    link->Close();
    ASSERT_NE(link->CreatePort({.portName = "COM1"}), 0);
    ASSERT_NE(link->Open(), 0);
    EXPECT_EQ(link->Write(b, 4), 4);
    link->Close();
    EXPECT_EQ(link->Write(b, 4), 0);
    EXPECT_EQ(state->closeCount, 1);
    EXPECT_EQ(link->Type(), InterfaceType::Serial);
}

TEST_F(PrinterLinkTest, TraceSeesEveryTransfer)
{
    std::vector<std::pair<TraceDirection, int>> seen;
    link->SetTrace([&](TraceDirection d, const std::uint8_t*, int n) { seen.emplace_back(d, n); });
    ASSERT_NE(link->CreatePort({.portName = "COM1"}), 0);
    ASSERT_NE(link->Open(), 0);
    state->Queue({0x6F});
    state->gone = true;  // the printer answers, then the connection breaks
    std::uint8_t b[2] = {0x1B, 0x40};
    link->Write(b, 2);
    EXPECT_EQ(link->Read(b, 1, 1000), 1);
    EXPECT_EQ(link->Read(b, 1, 1000), -1);  // passed on as it is, to the caller and the trace
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(TraceDirection::Write, 2));
    EXPECT_EQ(seen[1], std::make_pair(TraceDirection::Read, 1));
    EXPECT_EQ(seen[2], std::make_pair(TraceDirection::Read, -1));
}

}  // namespace
}  // namespace zorvik
