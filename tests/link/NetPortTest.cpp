// The network port against loopback listeners only.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/NetPort.h"
#include "resources/LinkTexts.h"
#include "support/RecordingNotifier.h"

namespace zorvik {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kGenerousMs = 5000;

long MsSince(Clock::time_point start)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// A listening socket on 127.0.0.1 with a port of the system's choosing. The
// kernel completes connections into the backlog, so no thread is needed.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 4, bool listening = true)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        if (listening)
            ::listen(fd_, backlog);
    }
    ~LoopbackListener()
    {
        if (peer_ >= 0)
            ::close(peer_);
        ::close(fd_);
    }
    std::uint16_t Port() const { return port_; }
    bool Accept()
    {
        pollfd p{.fd = fd_, .events = POLLIN, .revents = 0};
        if (::poll(&p, 1, kGenerousMs) != 1)
            return false;
        peer_ = ::accept(fd_, nullptr, nullptr);
        return peer_ >= 0;
    }
    std::vector<std::uint8_t> Receive(std::size_t count)
    {
        std::vector<std::uint8_t> got;
        std::uint8_t chunk[8192];
        while (got.size() < count) {
            pollfd p{.fd = peer_, .events = POLLIN, .revents = 0};
            if (::poll(&p, 1, kGenerousMs) != 1)
                break;
            const ssize_t n = ::recv(peer_, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }
    void Send(const std::string& bytes) { ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    void ClosePeer()
    {
        ::close(peer_);
        peer_ = -1;
    }
    // Closes with a reset instead of the orderly end.
    void ResetPeer()
    {
        const linger abort{.l_onoff = 1, .l_linger = 0};
        ::setsockopt(peer_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ClosePeer();
    }

private:
    int fd_ = -1;
    int peer_ = -1;
    std::uint16_t port_ = 0;
};

class NetPortTest : public ::testing::Test {
protected:
    VirtualPacer pacer;
    test::RecordingNotifier notifier;

    std::unique_ptr<NetPort> Connect(std::uint32_t tcpPort, NetLimits limits = {})
    {
        auto port = std::make_unique<NetPort>(pacer, notifier, limits);
        PortSettings s;
        s.portName = "127.0.0.1";
        s.tcpPort = tcpPort;
        EXPECT_EQ(port->Configure(s), 1);
        return port;
    }
    static std::vector<std::uint8_t> Pattern(std::size_t n)
    {
        std::vector<std::uint8_t> bytes(n);
        for (std::size_t i = 0; i < n; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        return bytes;
    }
    const test::ShownMessage kConnectFailed{kNetConnectFailed, kNetErrorTitle, MessageIcon::Error};
};

TEST_F(NetPortTest, WritesGoOutInPiecesWithAPauseAfterEachFullOne)
{
    const std::pair<std::size_t, std::vector<std::uint32_t>> rows[] = {
        {1, {}}, {4096, {}}, {4097, {500}}, {8192, {500}}, {10000, {500, 500}},
    };
    for (const auto& [size, pauses] : rows) {
        LoopbackListener server;
        auto port = Connect(server.Port());
        ASSERT_EQ(port->Open(), 1) << port->LastError();
        ASSERT_TRUE(server.Accept());
        pacer.Clear();
        const auto bytes = Pattern(size);
        EXPECT_EQ(port->Write(bytes.data(), static_cast<std::uint32_t>(size)), int(size));
        EXPECT_EQ(pacer.Pauses(), pauses) << size;
        EXPECT_EQ(server.Receive(size), bytes) << size;
    }
    EXPECT_TRUE(notifier.messages.empty());
}

// Records each send's place in the buffer and its size.
class RecordingSocket final : public StreamSocket {
public:
    std::vector<std::pair<std::ptrdiff_t, std::uint32_t>> sends;
    const std::uint8_t* base = nullptr;
    int acceptLimit = -1;  // >= 0: the connection fails after this many bytes
    bool createResult = true;
    bool Create() override { return createResult; }
    bool Connect(const std::string&, std::uint16_t, std::uint32_t) override { return true; }
    int Send(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t) override
    {
        sends.emplace_back(buffer - base, count);
        if (acceptLimit < 0)
            return static_cast<int>(count);
        const int n = std::min<int>(acceptLimit, static_cast<int>(count));
        acceptLimit -= n;
        return n > 0 ? n : -1;
    }
    int Receive(std::uint8_t*, std::uint32_t, std::uint32_t) override { return 0; }
    void Close() override {}
    const std::string& LastError() const override { return error; }
    std::string error;
};

TEST_F(NetPortTest, PiecesStartAtTheirOffsetsAndAShortSendEndsTheWrite)
{
    const auto bytes = Pattern(10000);
    struct Row {
        int acceptLimit;
        int expected;
        std::vector<std::pair<std::ptrdiff_t, std::uint32_t>> sends;
    };
    const Row rows[] = {
        {-1, 10000, {{0, 4096}, {4096, 4096}, {8192, 1808}}},
        {5000, 5000, {{0, 4096}, {4096, 4096}}},  // cut off inside the second piece
        {0, 0, {{0, 4096}}},
    };
    for (const auto& row : rows) {
        auto socket = std::make_unique<RecordingSocket>();
        RecordingSocket& s = *socket;
        s.base = bytes.data();
        s.acceptLimit = row.acceptLimit;
        NetPort port(pacer, notifier, {}, std::move(socket));
        port.Configure({.portName = "127.0.0.1", .tcpPort = 9100});
        ASSERT_EQ(port.Open(), 1);
        EXPECT_EQ(port.Write(bytes.data(), 10000), row.expected);
        EXPECT_EQ(s.sends, row.sends);
    }
}

TEST_F(NetPortTest, RefusedConnectionShowsTheMessageAndFails)
{
    LoopbackListener closed(0, false);  // bound but not listening: refused
    auto port = Connect(closed.Port());
    EXPECT_EQ(port->Open(), 0);
    EXPECT_EQ(notifier.messages, std::vector<test::ShownMessage>{kConnectFailed});
    std::uint8_t byte = 0;
    EXPECT_EQ(port->Write(&byte, 1), 0);
    EXPECT_EQ(port->Read(&byte, 1, 1000), 0);
}

TEST_F(NetPortTest, SocketThatCannotBeMadeShowsItsOwnMessage)
{
    auto socket = std::make_unique<RecordingSocket>();
    socket->createResult = false;
    NetPort port(pacer, notifier, {}, std::move(socket));
    port.Configure({.portName = "127.0.0.1", .tcpPort = 9100});
    EXPECT_EQ(port.Open(), 0);
    const test::ShownMessage expected{kNetSocketCreateFailed, kNetErrorTitle, MessageIcon::Error};
    EXPECT_EQ(notifier.messages, std::vector<test::ShownMessage>{expected});
}

TEST_F(NetPortTest, BadAddressOrPortFailsLikeARefusal)
{
    for (const auto& [address, tcpPort] : {std::pair<const char*, std::uint32_t>{"127.0.0", 9100},
                                           {"localhost", 9100},
                                           {"127.0.0.1", 70000}}) {
        notifier.messages.clear();
        NetPort port(pacer, notifier);
        port.Configure({.portName = address, .tcpPort = tcpPort});
        EXPECT_EQ(port.Open(), 0) << address;
        EXPECT_EQ(notifier.messages, std::vector<test::ShownMessage>{kConnectFailed}) << address;
    }
}

TEST_F(NetPortTest, ReadReturnsWhatCameWithinTheTimeout)
{
    LoopbackListener server;
    auto port = Connect(server.Port());
    ASSERT_EQ(port->Open(), 1);
    ASSERT_TRUE(server.Accept());
    std::uint8_t buffer[16] = {};

    // A silent printer: nothing, once the caller's time-out has passed.
    auto start = Clock::now();
    EXPECT_EQ(port->Read(buffer, 16, 200), 0);
    EXPECT_GE(MsSince(start), 200 - 1);
    EXPECT_LT(MsSince(start), kGenerousMs);

    server.Send("hello");
    EXPECT_EQ(port->Read(buffer, 16, 1000), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "hello");

    // The printer closed the connection: -1, at once; and a write does not kill us.
    server.ClosePeer();
    start = Clock::now();
    EXPECT_EQ(port->Read(buffer, 16, 1000), -1);
    EXPECT_LT(MsSince(start), 1000);
    std::vector<std::uint8_t> lots(100000, 0x20);
    EXPECT_LT(port->Write(lots.data(), static_cast<std::uint32_t>(lots.size())), 100000);
}

TEST_F(NetPortTest, ReadTellsASilentPrinterFromOneThatHasGone)
{
    enum class Then { StaysOpen, Closes, Resets };
    struct Row {
        const char* what;
        std::string sent;
        Then then;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {"silent", "", Then::StaysOpen, {0}},   {"answers, then silent", "abc", Then::StaysOpen, {3, 0}},
        {"closes", "", Then::Closes, {-1, -1}}, {"answers, then closes", "abc", Then::Closes, {3, -1, -1}},
        {"resets", "", Then::Resets, {-1, -1}},
    };
    for (const auto& row : rows) {
        LoopbackListener server;
        auto port = Connect(server.Port());
        ASSERT_EQ(port->Open(), 1) << port->LastError();
        ASSERT_TRUE(server.Accept());
        if (!row.sent.empty())
            server.Send(row.sent);
        if (row.then == Then::Closes)
            server.ClosePeer();
        if (row.then == Then::Resets)
            server.ResetPeer();
        for (int expected : row.expected) {
            // A silent printer takes the whole 200 ms; bytes, or a connection that is
            // gone, end the read long before the 10 s asked for.
            const std::uint32_t timeoutMs = expected == 0 ? 200 : 10000;
            std::uint8_t buffer[16] = {};
            const auto start = Clock::now();
            EXPECT_EQ(port->Read(buffer, sizeof buffer, timeoutMs), expected) << row.what;
            if (expected == 0) {
                EXPECT_GE(MsSince(start), 200 - 1) << row.what;
            }
            EXPECT_LT(MsSince(start), kGenerousMs) << row.what;
            if (expected > 0) {
                EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), row.sent) << row.what;
            }
        }
    }
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(NetPortTest, ConnectThatIsNeverAnsweredGivesUp)
{
    // A listener whose queue is full drops further connection requests unanswered.
    LoopbackListener server(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(server.Port());
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(fd);
    }
    auto port = Connect(server.Port(), {.connectMs = 300, .sendStallMs = 1000});
    const auto start = Clock::now();
    EXPECT_EQ(port->Open(), 0);
    EXPECT_LT(MsSince(start), kGenerousMs);
    EXPECT_EQ(notifier.messages, std::vector<test::ShownMessage>{kConnectFailed});
    for (int fd : fillers)
        ::close(fd);
}

}  // namespace
}  // namespace zorvik
