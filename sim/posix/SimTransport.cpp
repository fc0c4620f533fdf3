#include "sim/SimTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zorvik {

namespace {

void CloseFd(std::intptr_t& fd)
{
    if (fd >= 0)
        ::close(static_cast<int>(fd));
    fd = -1;
}

int Fd(std::intptr_t fd)
{
    return static_cast<int>(fd);
}

void SetNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

SimTransport::SimTransport() = default;

bool SimTransport::HasPty()
{
    return true;
}

SimTransport::~SimTransport()
{
    CloseAll();
}

bool SimTransport::OpenWake()
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    return true;
}

bool SimTransport::OpenPty()
{
    auto fail = [this](const char* what) {
        error_ = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(Fd(master_)) != 0 || ::unlockpt(Fd(master_)) != 0)
        return fail("pseudo-terminal");
    char name[128];
    if (::ptsname_r(Fd(master_), name, sizeof name) != 0)
        return fail("ptsname");
    ptyPath_ = name;
    // Holding the slave open ourselves keeps the line usable between the clients'
    // opens; raw mode so nothing is echoed or translated.
    slaveHolder_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveHolder_ < 0)
        return fail("open pseudo-terminal slave");
    termios tio{};
    if (::tcgetattr(Fd(slaveHolder_), &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(Fd(slaveHolder_), TCSANOW, &tio);
    }
    SetNonBlocking(Fd(master_));
    return true;
}

bool SimTransport::OpenTcp(std::uint16_t port)
{
    auto fail = [this](const char* what) {
        error_ = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0)
        return fail("socket");
    const int yes = 1;
    ::setsockopt(Fd(listen_), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only, always
    address.sin_port = htons(port);
    if (::bind(Fd(listen_), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return fail("bind 127.0.0.1");
    if (::listen(Fd(listen_), 4) != 0)
        return fail("listen");
    socklen_t length = sizeof address;
    ::getsockname(Fd(listen_), reinterpret_cast<sockaddr*>(&address), &length);
    tcpPort_ = ntohs(address.sin_port);
    SetNonBlocking(Fd(listen_));
    return true;
}

void SimTransport::CloseAll()
{
    CloseFd(client_);
    CloseFd(listen_);
    CloseFd(master_);
    CloseFd(slaveHolder_);
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
    ptyPath_.clear();
    tcpPort_ = 0;
}

void SimTransport::Wake()
{
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(Fd(wakeWrite_), &byte, 1);
    }
}

bool SimTransport::IsOpen(SimLine line) const
{
    return (line == kSimPty ? master_ : client_) >= 0;
}

void SimTransport::Close(SimLine line)
{
    if (line == kSimPty) {
        CloseFd(master_);
        CloseFd(slaveHolder_);
    } else {
        CloseFd(client_);
    }
}

bool SimTransport::Accept(bool smallReceiveBuffer)
{
    const int fd = ::accept4(Fd(listen_), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return false;
    CloseFd(client_);
    client_ = fd;
    if (smallReceiveBuffer) {
        const int small = 1024;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    return true;
}

long SimTransport::Send(SimLine line, const std::uint8_t* bytes, std::size_t size)
{
    const int fd = Fd(line == kSimPty ? master_ : client_);
    const ssize_t n = line == kSimTcp ? ::send(fd, bytes, size, MSG_NOSIGNAL) : ::write(fd, bytes, size);
    if (n >= 0)
        return static_cast<long>(n);
    return errno == EAGAIN || errno == EWOULDBLOCK ? kWouldBlock : kFailed;
}

long SimTransport::Receive(SimLine line, std::uint8_t* buffer, std::size_t size)
{
    const ssize_t n = ::read(Fd(line == kSimPty ? master_ : client_), buffer, size);
    if (n >= 0)
        return static_cast<long>(n);
    return errno == EAGAIN || errno == EINTR ? kWouldBlock : kFailed;
}

bool SimTransport::PtyUnread() const
{
    // The slave has no input left once the client has read it all.
    pollfd p{Fd(slaveHolder_), POLLIN, 0};
    return ::poll(&p, 1, 0) != 0;
}

void SimTransport::Prepare(const bool (&in)[2], const bool (&out)[2])
{
    waitFds_ = {wakeRead_};
    waitEvents_ = {POLLIN};
    for (SimLine line : {kSimPty, kSimTcp}) {
        if (!IsOpen(line))
            continue;
        waitFds_.push_back(line == kSimPty ? master_ : client_);
        waitEvents_.push_back(static_cast<short>((in[line] ? POLLIN : 0) | (out[line] ? POLLOUT : 0)));
    }
    if (listen_ >= 0) {
        waitFds_.push_back(listen_);
        waitEvents_.push_back(POLLIN);
    }
}

bool SimTransport::Wait(int timeoutMs)
{
    std::vector<pollfd> fds;
    for (std::size_t i = 0; i < waitFds_.size(); ++i)
        fds.push_back({Fd(waitFds_[i]), waitEvents_[i], 0});
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    waitSeen_.assign(fds.size(), 0);
    if (ready < 0)
        return errno == EINTR;
    for (std::size_t i = 0; i < fds.size(); ++i)
        waitSeen_[i] = fds[i].revents;
    return true;
}

SimTransport::Ready SimTransport::Seen() const
{
    Ready ready;
    for (std::size_t i = 0; i < waitSeen_.size(); ++i) {
        const short seen = waitSeen_[i];
        const std::intptr_t fd = waitFds_[i];
        if (seen == 0)
            continue;
        if (fd == wakeRead_) {
            char drain[64];
            while (::read(Fd(wakeRead_), drain, sizeof drain) > 0) {
            }
        } else if (fd == listen_) {
            ready.accept = true;
        } else {
            for (SimLine line : {kSimPty, kSimTcp}) {
                if (fd == (line == kSimPty ? master_ : client_) && (seen & (POLLIN | POLLHUP | POLLERR))) {
                    ready.input[line] = true;
                    ready.hangup[line] = (seen & (POLLHUP | POLLERR)) != 0;
                }
            }
        }
    }
    return ready;
}

}  // namespace zorvik
