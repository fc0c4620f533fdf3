#include "sim/SimServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/FakePort.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::HexOf;

// Raw client ends of the two transports, every read bounded.
class Client {
public:
    static Client Pty(const std::string& path)
    {
        Client c;
        c.fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        if (c.fd_ >= 0 && ::tcgetattr(c.fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(c.fd_, TCSANOW, &tio);
        }
        return c;
    }
    static Client Tcp(std::uint16_t port)
    {
        Client c;
        c.fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        if (::connect(c.fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(c.fd_);
            c.fd_ = -1;
        }
        return c;
    }
    Client() = default;
    Client(Client&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    ~Client()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void Send(const Bytes& b) { ASSERT_EQ(::write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }
    // Reads until want bytes came, the peer ended, or 5 s passed.
    Bytes Receive(std::size_t want, int boundMs = 5000)
    {
        Bytes got;
        while (got.size() < want) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, boundMs) <= 0)
                break;
            std::uint8_t buf[256];
            const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, want - got.size()));
            if (n <= 0)
                break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }
    // -1: an error or end of stream (the printer went away); 0: nothing; else bytes.
    int Probe()
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return 0;
        std::uint8_t b;
        const ssize_t n = ::read(fd_, &b, 1);
        return n <= 0 ? -1 : 1;
    }

private:
    int fd_ = -1;
};

const Bytes kModelQuery = BytesOf({0x1D, 0x49, 0x43});
const Bytes kModelReply = BytesOf({0x5F, 'L', 'X', 'T', '-', '6', '4', '0', 'I', 'V', 0x00});

class SimServerTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start({true, true, 0})) << server.Error();
        ASSERT_FALSE(server.PtyPath().empty());
        ASSERT_NE(server.TcpPort(), 0);
    }
    Client Connect() { return GetParam() ? Client::Pty(server.PtyPath()) : Client::Tcp(server.TcpPort()); }
    SimServer server;
};

TEST_P(SimServerTest, AnswersCommandsSplitAcrossWrites)
{
    Client client = Connect();
    ASSERT_TRUE(client.ok());
    client.Send(BytesOf({0x1D}));
    client.Send(BytesOf({0x49}));
    client.Send(BytesOf({0x43}));
    EXPECT_EQ(HexOf(client.Receive(kModelReply.size())), HexOf(kModelReply));
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.Received(); }), kModelQuery);
}

TEST_P(SimServerTest, HeldRepliesLeaveOnRelease)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().holdReplies = true; });
    Client client = Connect();
    client.Send(kModelQuery);
    EXPECT_TRUE(client.Receive(1, 300).empty());
    // The command has arrived once its reply is held; wait for that, bounded.
    for (int i = 0; i < 500 && server.HeldBytes() == 0; ++i)
        ::usleep(10000);
    ASSERT_EQ(server.HeldBytes(), kModelReply.size());
    server.ReleaseHeld();
    EXPECT_EQ(HexOf(client.Receive(kModelReply.size())), HexOf(kModelReply));
}

TEST_P(SimServerTest, SplitRepliesArriveWhole)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().splitGapMs = 5; });
    Client client = Connect();
    client.Send(kModelQuery);
    EXPECT_EQ(HexOf(client.Receive(kModelReply.size())), HexOf(kModelReply));
}

TEST_P(SimServerTest, DropsTheConnectionAfterTheGivenBytes)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().dropAfterBytes = 2; });
    Client client = Connect();
    client.Send(BytesOf({0x1B, 0x40, 0x1B}));
    EXPECT_EQ(client.Probe(), -1);
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.Received().size(); }), 2u);
}

TEST_P(SimServerTest, UnplugEndsTheLine)
{
    Client client = Connect();
    ASSERT_TRUE(client.ok());
    client.Send(BytesOf({0x1B, 0x40}));
    for (int i = 0; i < 500 && server.WithPrinter([](VirtualPrinter& p) { return p.Received().empty(); }); ++i)
        ::usleep(10000);
    server.Unplug();
    EXPECT_EQ(client.Probe(), -1);
}

INSTANTIATE_TEST_SUITE_P(Transports, SimServerTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Pty" : "Tcp"; });

TEST(SimServerStartTest, RefusesABusyPortAndStopsTwice)
{
    SimServer first;
    ASSERT_TRUE(first.Start({false, true, 0}));
    SimServer second;
    EXPECT_FALSE(second.Start({false, true, first.TcpPort()}));
    EXPECT_FALSE(second.Error().empty());
    first.Stop();
    first.Stop();
}

}  // namespace
}  // namespace zorvik
