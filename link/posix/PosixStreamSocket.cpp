// TCP sockets on a POSIX system. The socket is non-blocking throughout and every
// wait is a poll with a limit, so a printer that stops answering never holds the
// program. MSG_NOSIGNAL keeps a dropped connection from raising SIGPIPE.
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include "link/StreamSocket.h"
#include "link/posix/FdTransfer.h"

namespace zorvik {
namespace {

class PosixStreamSocket final : public StreamSocket {
public:
    bool Create() override
    {
        if (!file_.Adopt(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)))
            return false;
        // Commands are a few bytes each and the printer answers them one by one.
        const int on = 1;
        ::setsockopt(file_.Fd(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return true;
    }

    bool Connect(const std::string& address, std::uint16_t port, std::uint32_t limitMs) override
    {
        const int fd = file_.Fd();
        if (fd < 0)
            return file_.Fail(EBADF);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
            return file_.Fail(EINVAL);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
            return true;
        if (errno != EINPROGRESS && errno != EINTR)
            return file_.Fail(errno);
        const int ready = posix::PollFor(fd, POLLOUT, limitMs);
        if (ready <= 0)
            return file_.Fail(ready == 0 ? ETIMEDOUT : errno);
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            return file_.Fail(errno);
        return error == 0 || file_.Fail(error);
    }

    int Send(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t stallMs) override
    {
        const int fd = file_.Fd();
        std::uint32_t sent = 0;
        while (fd >= 0 && sent < count) {
            const ssize_t n = ::send(fd, buffer + sent, count - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<std::uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                file_.Fail(errno);
                break;
            }
            const int ready = posix::PollFor(fd, POLLOUT, stallMs);
            if (ready <= 0) {
                file_.Fail(ready == 0 ? ETIMEDOUT : errno);
                break;
            }
        }
        if (fd < 0)
            file_.Fail(EBADF);
        return sent > 0 || count == 0 ? static_cast<int>(sent) : -1;
    }

    int Receive(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override
    {
        const int fd = file_.Fd();
        const int ready = fd < 0 ? -1 : posix::PollFor(fd, POLLIN, timeoutMs);
        if (ready < 0) {
            file_.Fail(fd < 0 ? EBADF : errno);
            return -1;
        }
        if (ready == 0)
            return 0;  // nothing in time: the caller asks again or gives up
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, count, 0);
            if (n > 0)
                return static_cast<int>(n);
            if (n == 0) {
                file_.Fail(ENOTCONN);  // the printer closed the connection
                return -1;
            }
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return 0;
            file_.Fail(errno);
            return -1;
        }
    }

    void Close() override { file_.Close(); }
    const std::string& LastError() const override { return file_.LastError(); }

private:
    posix::DeviceFile file_;
};

}  // namespace

std::unique_ptr<StreamSocket> MakeSystemStreamSocket()
{
    return std::make_unique<PosixStreamSocket>();
}

}  // namespace zorvik
