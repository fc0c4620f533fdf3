// TCP sockets on a POSIX system. The socket is non-blocking throughout and every
// wait is a poll with a limit, so a printer that stops answering never holds the
// program. MSG_NOSIGNAL keeps a dropped connection from raising SIGPIPE.
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/StreamSocket.h"
#include "link/posix/FdTransfer.h"

namespace zorvik {
namespace {

int PollMs(std::uint32_t ms)
{
    return ms > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(ms);
}

// Waits for `events` up to ms; the revents, 0 on time-out, -1 on failure.
int Wait(int fd, short events, std::uint32_t ms)
{
    for (;;) {
        pollfd p{.fd = fd, .events = events, .revents = 0};
        const int ready = ::poll(&p, 1, PollMs(ms));
        if (ready < 0 && errno == EINTR)
            continue;   // a signal shortens the wait; acceptable for these limits
        if (ready < 0)
            return -1;
        return ready == 0 ? 0 : p.revents;
    }
}

class PosixStreamSocket final : public StreamSocket {
public:
    ~PosixStreamSocket() override { Close(); }

    bool Create() override
    {
        Close();
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0)
            return Failed(errno);
        // Commands are a few bytes each and the printer answers them one by one.
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return true;
    }

    bool Connect(const std::string& address, std::uint16_t port, std::uint32_t limitMs) override
    {
        if (fd_ < 0)
            return Failed(EBADF);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
            return Failed(EINVAL);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
            return true;
        if (errno != EINPROGRESS && errno != EINTR)
            return Failed(errno);
        const int ready = Wait(fd_, POLLOUT, limitMs);
        if (ready < 0)
            return Failed(errno);
        if (ready == 0)
            return Failed(ETIMEDOUT);
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            return Failed(errno);
        return error == 0 || Failed(error);
    }

    int Send(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t stallMs) override
    {
        if (fd_ < 0)
            return Failed(EBADF), -1;
        std::uint32_t sent = 0;
        while (sent < count) {
            const ssize_t n = ::send(fd_, buffer + sent, count - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<std::uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                Failed(errno);
                break;
            }
            const int ready = Wait(fd_, POLLOUT, stallMs);
            if (ready <= 0) {
                Failed(ready == 0 ? ETIMEDOUT : errno);
                break;
            }
        }
        return sent > 0 ? static_cast<int>(sent) : (count > 0 ? -1 : 0);
    }

    int Receive(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override
    {
        if (fd_ < 0)
            return Failed(EBADF), -1;
        const int ready = Wait(fd_, POLLIN, timeoutMs);
        if (ready < 0)
            return Failed(errno), -1;
        if (ready == 0)
            return 0;   // nothing in time: the caller asks again or gives up
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, count, 0);
            if (n >= 0)
                return static_cast<int>(n);
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return 0;
            return Failed(errno), -1;
        }
    }

    void Close() override
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    const std::string& LastError() const override { return lastError_; }

private:
    bool Failed(int error)
    {
        lastError_ = posix::ErrorText(error);
        return false;
    }

    int fd_ = -1;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<StreamSocket> MakeSystemStreamSocket()
{
    return std::make_unique<PosixStreamSocket>();
}

}  // namespace zorvik
