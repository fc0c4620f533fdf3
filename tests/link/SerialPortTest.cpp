#include <gtest/gtest.h>

#include "DeviceReadCases.h"
#include "link/SerialPort.h"

namespace zorvik {
namespace {

struct FakeSerialState : test::FakeCabledState {
    bool getLineResult = true;
    bool setLineResult = true;
    ModemPresence presence = ModemPresence::DsrOn;
    std::vector<std::string> opened;
    std::vector<SerialLine> lines;
    int purges = 0;
};

class FakeSerialDevice final : public test::FakeCabledDevice<SerialDevice, FakeSerialState> {
public:
    using FakeCabledDevice::FakeCabledDevice;
    bool Open(const std::string& path) override
    {
        s_.opened.push_back(path);
        s_.isOpen = s_.openResult;
        return s_.openResult;
    }
    bool GetLine(SerialLine& line) override
    {
        line = SerialLine{};
        return s_.getLineResult;
    }
    bool SetLine(const SerialLine& line) override
    {
        s_.lines.push_back(line);
        return s_.setLineResult;
    }
    ModemPresence Presence() override { return s_.presence; }
    bool Purge() override { return ++s_.purges, true; }
};

class SerialPortTest : public ::testing::Test {
protected:
    FakeSerialState state;
    VirtualPacer pacer;
    DeviceNames names;
    SerialPort port{pacer, names, std::make_unique<FakeSerialDevice>(state)};

    static PortSettings Settings(std::int32_t parity = 0, std::int32_t flow = 0)
    {
        return {.portName = "COM3",
                .baudRate = 19200,
                .dataBits = 8,
                .stopBits = StopBits::One,
                .parity = CodeFromNumber<Parity>(parity),
                .flowControl = CodeFromNumber<FlowControl>(flow),
                .timeouts = {10, 10, 10, 0, 0}};
    }
};

struct LineCase {
    std::int32_t parity;
    std::int32_t flowControl;
    Parity expectedParity;
    bool xonXoff;
    friend void PrintTo(const LineCase& c, std::ostream* os)
    {
        *os << "parity " << c.parity << ", flow control " << c.flowControl;
    }
};

class SerialLineMapping : public SerialPortTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(SerialLineMapping, SettingsBecomeLineFlags)
{
    const auto& c = GetParam();
    ASSERT_EQ(port.Configure(Settings(c.parity, c.flowControl)), 1);
    ASSERT_EQ(port.Open(), 1);
    ASSERT_EQ(state.lines.size(), 1u);
    const SerialLine& line = state.lines[0];
    EXPECT_EQ(line.baudRate, 19200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, c.expectedParity);
    EXPECT_EQ(line.checkParity, c.parity != 0);
    EXPECT_TRUE(line.ctsHandshake);  // whatever the flow control
    EXPECT_TRUE(line.raiseDtr);
    EXPECT_TRUE(line.raiseRts);
    EXPECT_EQ(line.xonXoffOutput, c.xonXoff);
    EXPECT_EQ(line.xonXoffInput, c.xonXoff);
}

INSTANTIATE_TEST_SUITE_P(
    ParityAndFlow, SerialLineMapping,
    ::testing::Values(LineCase{0, 0, Parity::None, false}, LineCase{0, 1, Parity::None, true},
                      LineCase{0, 2, Parity::None, true}, LineCase{1, 0, Parity::Odd, false},
                      LineCase{2, 1, Parity::Even, true}, LineCase{3, 2, Parity::Mark, true},
                      LineCase{4, 0, Parity::Space, false}, LineCase{0, 9, Parity::None, true}));

TEST(SerialLineFor, StopBitsAndRejectedValues)
{
    const PortSettings ok{.baudRate = 9600, .dataBits = 7};
    struct Row {
        PortSettings settings;
        std::optional<int> stopBits;  // no value: refused
    };
    auto with = [&](auto change) {
        PortSettings s = ok;
        change(s);
        return s;
    };
    const Row rows[] = {
        {ok, 1},
        {with([](PortSettings& s) { s.stopBits = StopBits::OneAndHalf; }), 2},  // 1.5 is sent as 2
        {with([](PortSettings& s) { s.stopBits = StopBits::Two; }), 2},
        {with([](PortSettings& s) { s.stopBits = CodeFromNumber<StopBits>(3); }), std::nullopt},
        {with([](PortSettings& s) { s.baudRate = 14400; }), std::nullopt},
        {with([](PortSettings& s) { s.baudRate = 0; }), std::nullopt},
        {with([](PortSettings& s) { s.dataBits = 9; }), std::nullopt},
        {with([](PortSettings& s) { s.dataBits = 4; }), std::nullopt},
        {with([](PortSettings& s) { s.dataBits = 5; }), 1},
        {with([](PortSettings& s) { s.parity = Parity::Space; }), 1},
        {with([](PortSettings& s) { s.parity = CodeFromNumber<Parity>(5); }), std::nullopt},
        {with([](PortSettings& s) { s.parity = CodeFromNumber<Parity>(-1); }), std::nullopt},
    };
    for (const auto& row : rows) {
        const auto line = SerialLineFor(row.settings, {});
        ASSERT_EQ(line.has_value(), row.stopBits.has_value()) << row.settings.baudRate;
        if (line) {
            EXPECT_EQ(line->stopBits, *row.stopBits);
        }
    }
}

TEST_F(SerialPortTest, OpenPausesThenConfiguresPurgesAndSetsItsOwnTimeouts)
{
    port.Configure(Settings());
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(state.opened, std::vector<std::string>{"/dev/ttyS2"});
    EXPECT_EQ(pacer.Pauses(), std::vector<std::uint32_t>{100});
    EXPECT_EQ(state.purges, 1);
    EXPECT_EQ(port.Timeouts(), (CommTimeouts{10, 10, 100, 5, 3000}));
    // A second Open does not reopen.
    EXPECT_EQ(port.Open(), 1);
    EXPECT_EQ(state.opened.size(), 1u);
}

TEST_F(SerialPortTest, EveryFailedStepClosesTheDeviceAndALaterOpenStartsAgain)
{
    struct Row {
        const char* what;
        void (*breakIt)(FakeSerialState&);
        int expectedCloses;
    };
    const Row rows[] = {
        {"device missing", [](FakeSerialState& s) { s.openResult = false; }, 0},
        {"line unreadable", [](FakeSerialState& s) { s.getLineResult = false; }, 1},
        {"line refused", [](FakeSerialState& s) { s.setLineResult = false; }, 1},
        {"printer off (DSR low)", [](FakeSerialState& s) { s.presence = ModemPresence::DsrOff; }, 1},
        {"modem status unreadable", [](FakeSerialState& s) { s.presence = ModemPresence::Failed; }, 1},
    };
    for (const auto& row : rows) {
        FakeSerialState s;
        VirtualPacer p;
        SerialPort serial(p, names, std::make_unique<FakeSerialDevice>(s));
        serial.Configure(Settings());
        row.breakIt(s);
        EXPECT_EQ(serial.Open(), 0) << row.what;
        EXPECT_EQ(p.Pauses(), std::vector<std::uint32_t>{100}) << row.what;  // paused even on failure
        EXPECT_EQ(s.closes, row.expectedCloses) << row.what;
        EXPECT_EQ(serial.Write(reinterpret_cast<const std::uint8_t*>("x"), 1), 0) << row.what;
        s = FakeSerialState{};
        EXPECT_EQ(serial.Open(), 1) << row.what;
        EXPECT_EQ(s.opened.size(), 1u) << row.what;
    }
}

TEST_F(SerialPortTest, UnsupportedRateFailsOpenCleanly)
{
    auto settings = Settings();
    settings.baudRate = 12345;
    port.Configure(settings);
    EXPECT_EQ(port.Open(), 0);
    EXPECT_TRUE(state.lines.empty());
    EXPECT_FALSE(state.isOpen);
}

TEST_F(SerialPortTest, TransfersCarryTheTimeRules)
{
    port.Configure(Settings());
    ASSERT_EQ(port.Open(), 1);
    std::uint8_t buffer[64] = {};
    port.Read(buffer, 1, 1000);
    port.Read(buffer, 16, 1000);
    port.Write(buffer, 64);
    ASSERT_EQ(state.reads.size(), 2u);
    EXPECT_EQ(state.reads[0].intervalMs, 10u);
    EXPECT_EQ(state.reads[0].totalMs, 110u);
    EXPECT_EQ(state.reads[1].totalMs, 260u);
    EXPECT_EQ(state.writeLimits, std::vector<std::uint32_t>{3000 + 5 * 64});
}

TEST_F(SerialPortTest, ReadTellsASilentLineFromOneThatIsGone)
{
    for (const auto& c : test::kDeviceReadCases) {
        FakeSerialState s;
        VirtualPacer p;
        SerialPort serial(p, names, std::make_unique<FakeSerialDevice>(s));
        serial.Configure(Settings());
        ASSERT_EQ(serial.Open(), 1) << c.what;
        s.readResults = c.device;
        test::ExpectReadsThenClosed(serial, c);
    }
}

TEST_F(SerialPortTest, GuardsLeaveTheDeviceAlone)
{
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(port.Write(buffer, 4), 0);  // not open
    port.Configure(Settings());
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(nullptr, 4), 0);
    EXPECT_EQ(port.Write(buffer, 0), 0);
    EXPECT_EQ(port.Read(nullptr, 4, 1000), 0);
    EXPECT_EQ(port.Read(buffer, 0, 1000), 0);
    port.Close();
    EXPECT_EQ(port.Read(buffer, 4, 1000), 0);
    EXPECT_TRUE(state.reads.empty());
    EXPECT_TRUE(state.writeLimits.empty());
}

TEST_F(SerialPortTest, EmptyNameIsRefusedAndUnknownNameDoesNotOpen)
{
    EXPECT_EQ(port.Configure({.portName = ""}), 0);
    auto settings = Settings();
    settings.portName = "COMX";
    ASSERT_EQ(port.Configure(settings), 1);
    EXPECT_EQ(port.Open(), 0);
    EXPECT_TRUE(state.opened.empty());
}

}  // namespace
}  // namespace zorvik
