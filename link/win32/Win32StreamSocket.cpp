// TCP sockets on Windows. The socket is non-blocking throughout and every wait is a
// select with a limit, as on the other systems, so a printer that stops answering
// never holds the program. Winsock is started once, on the first socket.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "link/StreamSocket.h"
#include "link/win32/CommFile.h"

namespace zorvik {
namespace {

bool SocketsStarted()
{
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

enum class Ready { Yes, TimedOut, Failed };

// Waits until the socket is readable (or writable) for at most ms.
Ready Wait(SOCKET s, bool forWrite, std::uint32_t ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(s, &failed);
    timeval limit{};
    limit.tv_sec = static_cast<long>(ms / 1000);
    limit.tv_usec = static_cast<long>((ms % 1000) * 1000);
    const int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &failed, &limit);
    if (n < 0)
        return Ready::Failed;
    if (n == 0)
        return Ready::TimedOut;
    return FD_ISSET(s, &set) ? Ready::Yes : Ready::Failed;
}

class Win32StreamSocket final : public StreamSocket {
public:
    ~Win32StreamSocket() override { Close(); }

    bool Create() override
    {
        Close();
        if (!SocketsStarted())
            return Fail(WSASYSNOTREADY);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (socket_ == INVALID_SOCKET)
            return Fail(WSAGetLastError());
        u_long nonBlocking = 1;
        ioctlsocket(socket_, FIONBIO, &nonBlocking);
        // Commands are a few bytes each and the printer answers them one by one.
        const BOOL on = TRUE;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        return true;
    }

    bool Connect(const std::string& address, std::uint16_t port, std::uint32_t limitMs) override
    {
        if (socket_ == INVALID_SOCKET)
            return Fail(WSAENOTSOCK);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
            return Fail(WSAEINVAL);
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
            return true;
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return Fail(WSAGetLastError());
        const Ready ready = Wait(socket_, true, limitMs);
        if (ready == Ready::TimedOut)
            return Fail(WSAETIMEDOUT);
        int error = 0;
        int size = sizeof error;
        getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        if (ready == Ready::Failed || error != 0)
            return Fail(error != 0 ? error : WSAECONNREFUSED);
        return true;
    }

    int Send(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t stallMs) override
    {
        std::uint32_t sent = 0;
        while (socket_ != INVALID_SOCKET && sent < count) {
            const int n = ::send(socket_, reinterpret_cast<const char*>(buffer + sent),
                                 static_cast<int>(count - sent), 0);
            if (n > 0) {
                sent += static_cast<std::uint32_t>(n);
                continue;
            }
            if (n < 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
                Fail(WSAGetLastError());
                break;
            }
            const Ready ready = Wait(socket_, true, stallMs);
            if (ready != Ready::Yes) {
                Fail(ready == Ready::TimedOut ? WSAETIMEDOUT : WSAGetLastError());
                break;
            }
        }
        if (socket_ == INVALID_SOCKET)
            Fail(WSAENOTSOCK);
        return sent > 0 || count == 0 ? static_cast<int>(sent) : -1;
    }

    int Receive(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override
    {
        if (socket_ == INVALID_SOCKET) {
            Fail(WSAENOTSOCK);
            return -1;
        }
        const Ready ready = Wait(socket_, false, timeoutMs);
        if (ready == Ready::TimedOut)
            return 0;  // nothing in time: the caller asks again or gives up
        if (ready == Ready::Failed) {
            Fail(WSAGetLastError());
            return -1;
        }
        const int n = ::recv(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(count), 0);
        if (n > 0)
            return n;
        if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK)
            return 0;
        Fail(n == 0 ? WSAENOTCONN : WSAGetLastError());  // closed by the printer, or failed
        return -1;
    }

    void Close() override
    {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    const std::string& LastError() const override { return lastError_; }

private:
    bool Fail(int error)
    {
        lastError_ = win32::ErrorText(static_cast<DWORD>(error));
        return false;
    }

    SOCKET socket_ = INVALID_SOCKET;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<StreamSocket> MakeSystemStreamSocket()
{
    return std::make_unique<Win32StreamSocket>();
}

}  // namespace zorvik
