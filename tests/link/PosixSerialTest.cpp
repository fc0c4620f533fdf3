// The real serial code on a pseudo-terminal pair: the test holds the master end
// as the printer would, the port opens the slave end.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "link/SerialPort.h"
#include "link/posix/FdTransfer.h"
#include "link/posix/SerialTermios.h"

namespace zorvik {
namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Far above any limit of the port, so a loaded machine never fails a test;
// a read that ignored its limits would still wait much longer (for ever).
constexpr long kGenerousMs = 3000;

class PtySerialTest : public ::testing::Test {
protected:
    int master = -1;
    std::string slavePath;
    VirtualPacer pacer;
    DeviceNames names;
    std::unique_ptr<SerialPort> port;

    void SetUp() override
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        slavePath = ::ptsname(master);
        names.Set("COM1", slavePath);
        port = std::make_unique<SerialPort>(pacer, names, MakeSystemSerialDevice());
    }
    void TearDown() override
    {
        port.reset();
        if (master >= 0)
            ::close(master);
    }
    int OpenPort(std::int32_t parity = 0, std::int32_t flow = 0, std::int32_t dataBits = 8)
    {
        PortSettings s;
        s.portName = "COM1";
        s.baudRate = 38400;
        s.dataBits = dataBits;
        s.stopBits = StopBits::Two;
        s.parity = CodeFromNumber<Parity>(parity);
        s.flowControl = CodeFromNumber<FlowControl>(flow);
        port->Configure(s);
        return port->Open();
    }
    void Send(const std::string& bytes)
    {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
};

TEST_F(PtySerialTest, OpenAppliesTheLineSettings)
{
    // A pseudo-terminal always reads back 8 bits without parity, so the parity
    // codes are checked on the termios mapping below.
    ASSERT_EQ(OpenPort(0, 1, 8), 1) << port->LastError();
    termios t{};
    ASSERT_EQ(::tcgetattr(master, &t), 0);  // the master reports the slave's settings
    EXPECT_EQ(cfgetospeed(&t), B38400);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
}

TEST_F(PtySerialTest, ReadEndsAtCountAtSilenceAtTheTotalLimitOrAtAHangUp)
{
    ASSERT_EQ(OpenPort(), 1) << port->LastError();
    std::uint8_t buffer[16] = {};

    // A silent line: nothing, after 100 ms + 10 ms per byte.
    auto start = Clock::now();
    EXPECT_EQ(port->Read(buffer, 1, 1000), 0);
    EXPECT_GE(MsSince(start), 110 - 1);
    EXPECT_LT(MsSince(start), kGenerousMs);

    // Three bytes then silence: the three, well before the 260 ms total.
    Send("abc");
    start = Clock::now();
    EXPECT_EQ(port->Read(buffer, 16, 1000), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "abc");
    EXPECT_LT(MsSince(start), kGenerousMs);

    // More waiting than asked for: exactly the count, the rest stays.
    Send("0123456789");
    EXPECT_EQ(port->Read(buffer, 4, 1000), 4);
    EXPECT_EQ(port->Read(buffer, 16, 1000), 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), "456789");

    // The printer's end closes: -1 at once, not after the 10.1 s a read of 1000 bytes
    // may take, and again on the next read. (The kernel drops input still queued at a
    // hang-up, so what was read before it is all a terminal can give; the DeviceFile
    // test below shows bytes ahead of a hang-up coming first.)
    ::close(master);
    master = -1;
    std::vector<std::uint8_t> lots(1000);
    start = Clock::now();
    EXPECT_EQ(port->Read(lots.data(), 1000, 1000), -1);
    EXPECT_EQ(port->Read(lots.data(), 1000, 1000), -1);
    EXPECT_LT(MsSince(start), kGenerousMs);
}

TEST_F(PtySerialTest, WriteReachesTheOtherEnd)
{
    ASSERT_EQ(OpenPort(), 1);
    const std::uint8_t command[] = {0x1B, 0x40, 0x00, 0x0A};
    EXPECT_EQ(port->Write(command, 4), 4);
    std::uint8_t got[4] = {};
    pollfd p{.fd = master, .events = POLLIN, .revents = 0};
    ASSERT_EQ(::poll(&p, 1, kGenerousMs), 1);
    ASSERT_EQ(::read(master, got, 4), 4);
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 4), std::vector<std::uint8_t>(command, command + 4));
}

TEST_F(PtySerialTest, TheLineIsHeldExclusively)
{
    ASSERT_EQ(OpenPort(), 1);
    SerialPort second(pacer, names, MakeSystemSerialDevice());
    second.Configure({.portName = "COM1", .baudRate = 9600, .dataBits = 8});
    EXPECT_EQ(second.Open(), 0);
}

// Closed by the port, the line is no longer exclusive: another program may open it
// again while its other end stays held.
TEST_F(PtySerialTest, ClosingGivesUpTheExclusiveHold)
{
    const int holder = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(OpenPort(), 1);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port->Close();
    ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(holder);
}

TEST_F(PtySerialTest, PresenceFollowsTheOtherEnd)
{
    auto device = MakeSystemSerialDevice();
    ASSERT_TRUE(device->Open(slavePath));
    EXPECT_EQ(device->Presence(), ModemPresence::DsrOn);
    ::close(master);
    master = -1;
    EXPECT_EQ(device->Presence(), ModemPresence::DsrOff);
    std::uint8_t buffer[4];
    const auto start = Clock::now();
    EXPECT_EQ(device->Read(buffer, 4, {.intervalMs = 10, .totalMs = 140}), -1);
    EXPECT_LT(MsSince(start), kGenerousMs);
}

TEST_F(PtySerialTest, MissingDeviceFailsOpen)
{
    names.Set("COM2", "/dev/zorvik-no-such-line");
    SerialPort missing(pacer, names, MakeSystemSerialDevice());
    missing.Configure({.portName = "COM2", .baudRate = 9600, .dataBits = 8});
    EXPECT_EQ(missing.Open(), 0);
    EXPECT_NE(std::string(missing.LastError()), "");
}

// The bounded read of the serial and parallel devices over a socket pair, whose
// other end (unlike a terminal's) keeps what it sent before it went away.
TEST(DeviceFile, ReadEndsWithMinusOneOnceTheOtherSideIsGone)
{
    enum class Then { StaysOpen, Closes, StopsSending };
    struct Row {
        const char* what;
        std::string sent;
        Then then;
        bool endOfFileIsGone;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {"silent", "", Then::StaysOpen, true, {0}},
        {"bytes, then silent", "abc", Then::StaysOpen, true, {3, 0}},
        {"hung up", "", Then::Closes, false, {-1, -1}},
        {"bytes, then hung up", "abc", Then::Closes, false, {3, -1, -1}},
        // The end of the input without a hang-up: gone for a terminal, nothing more
        // for a driver that has nothing to give.
        {"end of input, terminal", "ab", Then::StopsSending, true, {2, -1, -1}},
        {"end of input, other device", "ab", Then::StopsSending, false, {2, 0}},
    };
    for (const auto& row : rows) {
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends), 0);
        posix::DeviceFile file;
        ASSERT_TRUE(file.Adopt(ends[0]));
        ASSERT_EQ(::write(ends[1], row.sent.data(), row.sent.size()), ssize_t(row.sent.size()));
        if (row.then == Then::StopsSending)
            ::shutdown(ends[1], SHUT_WR);
        if (row.then == Then::Closes)
            ::close(ends[1]);
        for (int expected : row.expected) {
            // A silent read waits out its 50 ms; one that finds the other side gone
            // must not wait out its 10 s.
            const ReadLimits limits{.intervalMs = 10, .totalMs = expected == 0 ? 50u : 10000u};
            std::uint8_t buffer[16] = {};
            const auto start = Clock::now();
            EXPECT_EQ(file.Read(buffer, sizeof buffer, limits, row.endOfFileIsGone), expected) << row.what;
            EXPECT_LT(MsSince(start), kGenerousMs) << row.what;
            if (expected > 0) {
                EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), row.sent) << row.what;
            }
        }
        file.Close();
        if (row.then != Then::Closes)
            ::close(ends[1]);
    }
}

TEST(SerialTermios, ParityCodesAndRejectedValues)
{
    struct Row {
        Parity parity;
        tcflag_t flags;
    };
    const Row rows[] = {
        {Parity::None, 0},
        {Parity::Odd, PARENB | PARODD},
        {Parity::Even, PARENB},
        {Parity::Mark, PARENB | PARODD | CMSPAR},
        {Parity::Space, PARENB | CMSPAR},
    };
    for (const auto& row : rows) {
        termios t{};
        t.c_cflag = PARENB | PARODD | CMSPAR;  // whatever was set before is replaced
        SerialLine line;
        line.parity = row.parity;
        ASSERT_TRUE(posix::ApplyLine(line, t));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), row.flags) << int(row.parity);
        EXPECT_EQ(posix::LineOf(t).parity, row.parity);
    }
    termios t{};
    SerialLine line;
    line.baudRate = 1200;
    EXPECT_FALSE(posix::ApplyLine(line, t));
    line = {};
    line.dataBits = 9;
    EXPECT_FALSE(posix::ApplyLine(line, t));
}

}  // namespace
}  // namespace zorvik
