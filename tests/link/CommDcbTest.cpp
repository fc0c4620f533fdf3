#include <gtest/gtest.h>

#include <memory>

#include "base/Pacer.h"
#include "link/CommDcb.h"
#include "link/SerialPort.h"

namespace zorvik {
namespace {

// A Windows serial device without Windows: the control block it would hand to the
// system, built from the line SerialPort asks for over a control block whose flags
// start out the other way round.
class FakeDcbDevice final : public SerialDevice {
public:
    explicit FakeDcbDevice(std::optional<CommDcb>& applied) : applied_(applied) {}
    static CommDcb Current()
    {
        CommDcb c;
        c.baudRate = 1200;
        c.byteSize = 6;
        c.parity = kDcbSpaceParity;
        c.stopBits = kDcbTwoStopBits;
        c.fParity = true;
        c.fDsrSensitivity = true;
        c.fTXContinueOnXoff = true;
        c.fNull = true;
        c.fOutX = true;
        c.fInX = true;
        return c;
    }
    bool Open(const std::string&) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    bool GetLine(SerialLine& line) override
    {
        line = SerialLineOf(Current());
        return true;
    }
    bool SetLine(const SerialLine& line) override
    {
        applied_ = CommDcbFor(line, Current());
        return applied_.has_value();
    }
    ModemPresence Presence() override { return ModemPresence::DsrOn; }
    bool Purge() override { return true; }
    int Read(std::uint8_t*, std::uint32_t, ReadLimits) override { return 0; }
    int Write(const std::uint8_t*, std::uint32_t count, std::uint32_t) override
    {
        return static_cast<int>(count);
    }
    void Close() override { open_ = false; }
    const std::string& LastError() const override { return error_; }

private:
    std::optional<CommDcb>& applied_;
    bool open_ = false;
    std::string error_;
};

struct DcbCase {
    std::int32_t dataBits;
    StopBits stopBits;
    Parity parity;
    FlowControl flowControl;
    std::uint8_t expectedStopBits;
};

class CommDcbMapping : public ::testing::TestWithParam<DcbCase> {};

TEST_P(CommDcbMapping, SettingsBecomeTheControlBlock)
{
    const DcbCase& c = GetParam();
    std::optional<CommDcb> applied;
    VirtualPacer pacer;
    SerialPort port(pacer, DeviceNames{}, std::make_unique<FakeDcbDevice>(applied));
    ASSERT_EQ(port.Configure({.portName = "COM3",
                              .baudRate = 38400,
                              .dataBits = c.dataBits,
                              .stopBits = c.stopBits,
                              .parity = c.parity,
                              .flowControl = c.flowControl}),
              1);
    ASSERT_EQ(port.Open(), 1);
    ASSERT_TRUE(applied);
    const CommDcb& dcb = *applied;
    EXPECT_EQ(dcb.baudRate, 38400u);
    EXPECT_EQ(dcb.byteSize, c.dataBits);
    EXPECT_EQ(dcb.parity, CodeNumber(c.parity));  // the list index is the system's parity code
    EXPECT_EQ(dcb.stopBits, c.expectedStopBits);
    EXPECT_EQ(dcb.fParity, c.parity != Parity::None);
    // Output handshaking on CTS and DSR whatever the flow control.
    EXPECT_TRUE(dcb.fOutxCtsFlow);
    EXPECT_TRUE(dcb.fOutxDsrFlow);
    EXPECT_EQ(dcb.fDtrControl, kDcbDtrControlEnable);
    EXPECT_EQ(dcb.fRtsControl, kDcbRtsControlEnable);
    EXPECT_FALSE(dcb.fDsrSensitivity);
    EXPECT_FALSE(dcb.fTXContinueOnXoff);
    EXPECT_FALSE(dcb.fNull);
    // XON/XOFF for every choice but "Hardware".
    EXPECT_EQ(dcb.fOutX, c.flowControl != FlowControl::Hardware);
    EXPECT_EQ(dcb.fInX, c.flowControl != FlowControl::Hardware);
}

INSTANTIATE_TEST_SUITE_P(
    ParityStopAndFlow, CommDcbMapping,
    ::testing::Values(DcbCase{8, StopBits::One, Parity::None, FlowControl::Hardware, kDcbOneStopBit},
                      DcbCase{8, StopBits::One, Parity::None, FlowControl::XonXoff, kDcbOneStopBit},
                      DcbCase{8, StopBits::One, Parity::None, FlowControl::None, kDcbOneStopBit},
                      DcbCase{8, StopBits::One, Parity::Odd, FlowControl::Hardware, kDcbOneStopBit},
                      DcbCase{7, StopBits::One, Parity::Even, FlowControl::XonXoff, kDcbOneStopBit},
                      DcbCase{8, StopBits::Two, Parity::Mark, FlowControl::None, kDcbTwoStopBits},
                      DcbCase{7, StopBits::Two, Parity::Space, FlowControl::Hardware, kDcbTwoStopBits},
                      // A UART sends 1.5 stop bits only after 5-bit characters; after
                      // longer ones it sends two.
                      DcbCase{8, StopBits::OneAndHalf, Parity::None, FlowControl::Hardware, kDcbTwoStopBits},
                      DcbCase{7, StopBits::OneAndHalf, Parity::Even, FlowControl::XonXoff, kDcbTwoStopBits},
                      DcbCase{5, StopBits::OneAndHalf, Parity::None, FlowControl::None, kDcbOne5StopBits}));

TEST(CommDcb, RefusesWhatNoLineCarriesAndReadsBackWhatItWrote)
{
    const CommDcb current = FakeDcbDevice::Current();
    struct Row {
        const char* what;
        SerialLine line;
        bool accepted;
    };
    SerialLine odd;
    odd.parity = Parity::Odd;
    odd.checkParity = true;
    odd.stopBits = 2;
    SerialLine noRate;
    noRate.baudRate = 0;
    SerialLine nineBits;
    nineBits.dataBits = 9;
    SerialLine threeStops;
    threeStops.stopBits = 3;
    SerialLine unlistedParity;
    unlistedParity.parity = CodeFromNumber<Parity>(7);
    const Row rows[] = {
        {"defaults", SerialLine{}, true},
        {"odd parity, two stop bits", odd, true},
        {"no rate", noRate, false},
        {"nine data bits", nineBits, false},
        {"three stop bits", threeStops, false},
        {"a parity code no list offers", unlistedParity, false},
    };
    for (const auto& row : rows) {
        const auto dcb = CommDcbFor(row.line, current);
        ASSERT_EQ(dcb.has_value(), row.accepted) << row.what;
        if (dcb) {
            EXPECT_EQ(SerialLineOf(*dcb), row.line) << row.what;
        }
    }
}

}  // namespace
}  // namespace zorvik
