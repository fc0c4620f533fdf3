#include "sim/SimServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/SimTestBytes.h"
#include "support/FakePort.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::Concat;
using test::Fn4;
using test::HexOf;
using test::SwitchReply;

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
const Bytes kIdQuery = BytesOf({0x1D, 0x49, 0x03});
const Bytes kIdReply = BytesOf({0x6F});
const Bytes kStatusQuery = BytesOf({0x10, 0x04, 0x01});
const Bytes kStatusReply = BytesOf({0x12});
constexpr std::uint8_t kBabble = 0x2A;

// Reply faults as a client reading the line sees them: what comes back to each
// command, then what the line does.
enum class Then { StaysQuiet, HangsUp, Babbles };
struct Exchange {
    Bytes send;  // may be empty: only read
    Bytes expect;
};
struct FaultRow {
    const char* name;
    void (*arrange)(SimFaults&);
    std::vector<Exchange> exchanges;
    Then then;
};

const FaultRow kFaultRows[] = {
    {"TruncateOnlyTheChosenKind",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyText;
         f.truncateReplyTo = 3;
     },
     {{kModelQuery, BytesOf({0x5F, 'L', 'X'})}, {kIdQuery, kIdReply}},
     Then::StaysQuiet},
    {"ReplaceTheHeadOfSwitchReplies",
     [](SimFaults& f) {
         f.faultReplies = kSimReplySwitch;
         f.replaceHead = {0x37, 0x22};
     },
     {{Fn4(1), Concat({BytesOf({0x37, 0x22}), Bytes(8, '0'), BytesOf({0x00})})}, {kModelQuery, kModelReply}},
     Then::StaysQuiet},
    {"StrayBeforeEveryChosenReply",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyId | kSimReplyStatus;
         f.strayBeforeReply = {0x14};
     },
     {{kIdQuery, BytesOf({0x14, 0x6F})},
      {kStatusQuery, BytesOf({0x14, 0x12})},
      {kIdQuery, BytesOf({0x14, 0x6F})},
      {kModelQuery, kModelReply}},
     Then::StaysQuiet},
    {"ShapesInOrderTruncateHeadStray",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyText;
         f.truncateReplyTo = 2;
         f.replaceHead = {0xAA};
         f.strayBeforeReply = {0xBB};
     },
     {{kModelQuery, BytesOf({0xBB, 0xAA, 'L'})}},
     Then::StaysQuiet},
    {"FaultSwitchPicksOnlyThatSwitch",
     [](SimFaults& f) {
         f.faultReplies = kSimReplySwitch;
         f.faultSwitch = 5;
         f.truncateReplyTo = 2;
     },
     {{Fn4(4), SwitchReply("00000000")}, {Fn4(5), BytesOf({0x37, 0x21})}, {Fn4(11), SwitchReply("00000000")}},
     Then::StaysQuiet},
    // A minute's delay on text replies: the others must come at once.
    {"DelayTouchesOnlyTheChosenKind",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyText;
         f.replyDelayMs = 60000;
     },
     {{kIdQuery, kIdReply}, {kStatusQuery, kStatusReply}, {Fn4(2), SwitchReply("00000000")}},
     Then::StaysQuiet},
    {"UnchosenReplyDoesNotOvertakeADelayedOne",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyText;
         f.replyDelayMs = 50;
     },
     {{Concat({kModelQuery, kIdQuery}), Concat({kModelReply, kIdReply})}},
     Then::StaysQuiet},
    {"SplitInPiecesKeepsTheOrder",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyText;
         f.splitGapMs = 3;
         f.splitPieceBytes = 4;
     },
     {{Concat({kModelQuery, kIdQuery, kModelQuery}), Concat({kModelReply, kIdReply, kModelReply})}},
     Then::StaysQuiet},
    // Unchosen replies do not count towards the hang-up.
    {"HangUpAfterTheSecondChosenReply",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyId;
         f.hangUpAfterReplies = 2;
     },
     {{kIdQuery, kIdReply}, {kModelQuery, kModelReply}, {kStatusQuery, kStatusReply}, {kIdQuery, kIdReply}},
     Then::HangsUp},
    {"HangUpAfterTheChosenSwitchReply",
     [](SimFaults& f) {
         f.faultReplies = kSimReplySwitch;
         f.faultSwitch = 2;
         f.hangUpAfterReplies = 1;
     },
     {{Fn4(1), SwitchReply("00000000")}, {Fn4(2), SwitchReply("00000000")}},
     Then::HangsUp},
    {"HangUpAfterTime", [](SimFaults& f) { f.hangUpAfterMs = 1000; }, {{kIdQuery, kIdReply}}, Then::HangsUp},
    {"BabbleAfterTheFirstChosenReply",
     [](SimFaults& f) {
         f.faultReplies = kSimReplyId;
         f.babbleAfterReplies = 1;
         f.babbleByte = kBabble;
     },
     {{kModelQuery, kModelReply}, {kIdQuery, kIdReply}},
     Then::Babbles},
    {"StrayOnConnect",
     [](SimFaults& f) {
         f.strayOnConnect = {0x14, 0x15};
     },
     {{{}, BytesOf({0x14, 0x15})}, {kIdQuery, kIdReply}},
     Then::StaysQuiet},
    // A user-setting command without a function is skipped; the line goes on.
    {"SkipsAnEmptyUserSettingCommand",
     [](SimFaults&) {},
     {{Concat({BytesOf({0x1D, 0x28, 0x45, 0x00, 0x00}), kIdQuery}), kIdReply}},
     Then::StaysQuiet},
};

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

// Refusing writes: the printer takes exactly the given bytes and then stops reading,
// so a writer's buffers fill up.
TEST_P(SimServerTest, StopsReadingAfterTheGivenBytes)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().refuseAfterBytes = 4; });
    Client client = Connect();
    client.Send(Bytes(10, 0x41));
    auto received = [&] { return server.WithPrinter([](VirtualPrinter& p) { return p.Received().size(); }); };
    for (int i = 0; i < 500 && received() < 4; ++i)
        ::usleep(10000);
    EXPECT_EQ(received(), 4u);
}

TEST_P(SimServerTest, UnplugEndsTheLine)
{
    Client client = Connect();
    ASSERT_TRUE(client.ok());
    client.Send(BytesOf({0x1B, 0x40}));
    for (int i = 0; i < 500 && server.WithPrinter([](VirtualPrinter& p) { return p.Received().empty(); });
         ++i)
        ::usleep(10000);
    server.Unplug();
    EXPECT_EQ(client.Probe(), -1);
}

// Reads the babble until the reply shows up whole among it, at most `limit` bytes;
// every other byte must be babble.
bool ReplyAmongBabble(Client& client, const Bytes& reply, std::size_t limit)
{
    Bytes got;
    while (got.size() < limit) {
        const Bytes more = client.Receive(64);
        if (more.empty())
            return false;
        got.insert(got.end(), more.begin(), more.end());
        const auto at = std::search(got.begin(), got.end(), reply.begin(), reply.end());
        if (at != got.end()) {
            got.erase(at, at + static_cast<std::ptrdiff_t>(reply.size()));
            return std::all_of(got.begin(), got.end(), [](std::uint8_t b) { return b == kBabble; });
        }
    }
    return false;
}

TEST_P(SimServerTest, ReplyFaultsAsTheClientSeesThem)
{
    for (const FaultRow& row : kFaultRows) {
        SCOPED_TRACE(row.name);
        server.WithPrinter([&](VirtualPrinter& p) {
            p.Faults() = SimFaults{};
            row.arrange(p.Faults());
        });
        // A fresh start: the pty line opens anew, with the faults in place.
        ASSERT_TRUE(server.Start({true, true, 0})) << server.Error();
        Client client = Connect();
        ASSERT_TRUE(client.ok());
        for (const Exchange& e : row.exchanges) {
            if (!e.send.empty())
                client.Send(e.send);
            EXPECT_EQ(HexOf(client.Receive(e.expect.size())), HexOf(e.expect)) << HexOf(e.send);
        }
        switch (row.then) {
        case Then::StaysQuiet:
            EXPECT_TRUE(client.Receive(1, 200).empty());
            break;
        case Then::HangsUp:
            EXPECT_EQ(client.Probe(), -1);
            break;
        case Then::Babbles: {
            const Bytes babble = client.Receive(1000);
            EXPECT_EQ(babble, Bytes(1000, kBabble));
            // Commands are still taken and answered amid the babble.
            client.Send(kModelQuery);
            EXPECT_TRUE(ReplyAmongBabble(client, kModelReply, 1 << 20));
            break;
        }
        }
    }
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
