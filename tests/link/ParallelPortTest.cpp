#include "link/posix/FdTransfer.h"
#include <gtest/gtest.h>

#include <fstream>

#include <fcntl.h>
#include <linux/lp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DeviceReadCases.h"
#include "link/ParallelPort.h"
#include "link/posix/LpStatus.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

struct FakeParallelState : test::FakeCabledState {
    std::optional<std::uint8_t> status = kParallelSelected;
    int opens = 0;
};

class FakeParallelDevice final : public test::FakeCabledDevice<ParallelDevice, FakeParallelState> {
public:
    using FakeCabledDevice::FakeCabledDevice;
    bool Open(const std::string&) override
    {
        ++s_.opens;
        return s_.isOpen = s_.openResult;
    }
    std::optional<std::uint8_t> Status() override { return s_.status; }
    void Purge() override {}
};

PortSettings Lpt(const char* name, CommTimeouts timeouts = {10, 10, 10, 0, 0})
{
    PortSettings s;
    s.portName = name;
    s.timeouts = timeouts;
    return s;
}

TEST(ParallelPort, OnlyASelectedPrinterWithNothingElsePassesOpen)
{
    struct Row {
        std::optional<std::uint8_t> status;
        int expected;
    };
    const Row rows[] = {
        {0x80, 1},          // selected: ready
        {0x90, 0},          // selected and powered off
        {0xC0, 0},          // selected and busy
        {0x84, 0},          // paper empty
        {0x88, 0},          // off line
        {0x00, 0},          // not selected
        {0x20, 0},          // not connected
        {std::nullopt, 0},  // the driver cannot tell
    };
    for (const auto& row : rows) {
        FakeParallelState s;
        s.status = row.status;
        ParallelPort port(DeviceNames{}, std::make_unique<FakeParallelDevice>(s));
        ASSERT_EQ(port.Configure(Lpt("LPT1")), 1);
        EXPECT_EQ(port.Open(), row.expected) << int(row.status.value_or(0xFF));
        EXPECT_EQ(s.isOpen, row.expected == 1);  // a failed test closes the device again
        EXPECT_EQ(s.closes, row.expected == 1 ? 0 : 1);
    }
}

TEST(ParallelPort, ConfigureAcceptsLptNamesAndParallelDevicePathsOnly)
{
    const std::pair<const char*, int> rows[] = {
        {"LPT1", 1}, {"LPT3", 1}, {"/dev/lp0", 1}, {"/dev/parport0", 1},
        {"COM1", 0}, {"", 0},     {"lpt1", 0},     {"/dev/ttyS0", 0},
    };
    for (const auto& [name, expected] : rows) {
        FakeParallelState s;
        ParallelPort port(DeviceNames{}, std::make_unique<FakeParallelDevice>(s));
        EXPECT_EQ(port.Configure(Lpt(name)), expected) << name;
    }
}

TEST(ParallelPort, WritesGetFiveMinutesAndReadsTheSettingsLimits)
{
    FakeParallelState s;
    ParallelPort port(DeviceNames{}, std::make_unique<FakeParallelDevice>(s));
    port.Configure(Lpt("LPT2"));
    EXPECT_EQ(port.Timeouts().writeTotalConstant, 300000u);
    ASSERT_EQ(port.Open(), 1);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(port.Write(buffer, 16), 16);
    port.Read(buffer, 16, 1000);
    EXPECT_EQ(s.writeLimits, std::vector<std::uint32_t>{300000});
    ASSERT_EQ(s.reads.size(), 1u);
    EXPECT_EQ(s.reads[0].intervalMs, 10u);
    EXPECT_EQ(s.reads[0].totalMs, 10u + 10u * 16);
}

TEST(ParallelPort, ReadWithoutAnyTotalLimitIsStillBounded)
{
    FakeParallelState s;
    ParallelPort port(DeviceNames{}, std::make_unique<FakeParallelDevice>(s));
    port.Configure(Lpt("LPT1", {}));
    ASSERT_EQ(port.Open(), 1);
    std::uint8_t buffer[4];
    port.Read(buffer, 4, 1000);
    ASSERT_EQ(s.reads.size(), 1u);
    EXPECT_GT(s.reads[0].totalMs, 0u);
}

TEST(ParallelPort, ReadTellsASilentPrinterFromOneThatIsGone)
{
    for (const auto& c : test::kDeviceReadCases) {
        FakeParallelState s;
        ParallelPort port(DeviceNames{}, std::make_unique<FakeParallelDevice>(s));
        port.Configure(Lpt("LPT1"));
        ASSERT_EQ(port.Open(), 1) << c.what;
        s.readResults = c.device;
        test::ExpectReadsThenClosed(port, c);
    }
}

TEST(LpStatus, RegisterBitsBecomeTheStatusByte)
{
    const int ready = LP_PBUSY | LP_PACK | LP_PSELECD | LP_PERRORP;  // not busy, selected, no fault
    const std::pair<int, std::uint8_t> rows[] = {
        {ready, kParallelSelected},
        {ready & ~LP_PACK, kParallelSelected},  // an ACK pulse is no condition
        {ready & ~LP_PBUSY, kParallelSelected | kParallelBusy},
        {ready | LP_POUTPA, kParallelSelected | kParallelPaperEmpty},
        {ready & ~LP_PERRORP, kParallelSelected | kParallelOffLine},
        {ready & ~LP_PSELECD, 0},
        {LP_PACK | LP_POUTPA | LP_PSELECD | LP_PERRORP, kParallelNotConnected},  // floating lines
    };
    for (const auto& [lp, expected] : rows)
        EXPECT_EQ(posix::ParallelStatusFromLp(lp), expected) << std::hex << lp;
}

// An ordinary file, a folder or a pipe named as a port is refused at the open and
// never receives a byte.
TEST(PosixParallelDevice, AFileThatIsNoDeviceIsRefusedAtTheOpen)
{
    test::TempDir dir;
    const std::string fifo = dir.File("lp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // keeps the FIFO open for writing
    ASSERT_GE(reader, 0);
    const std::string file = dir.File("notes.txt");
    std::ofstream(file) << "keep me";
    for (const std::string& path : {fifo, file, dir.Path().string()}) {
        auto device = MakeSystemParallelDevice();
        EXPECT_FALSE(device->Open(path)) << path;
        // A folder cannot even be opened for writing; the others are opened and refused.
        EXPECT_EQ(device->LastError(), path == dir.Path().string() ? std::string("Is a directory")
                                                                   : posix::DeviceFile::kNotADevice)
            << path;
    }
    std::uint8_t got[3] = {};
    EXPECT_LE(::read(reader, got, 3), 0);  // nothing was written
    ::close(reader);
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
}

}  // namespace
}  // namespace zorvik
