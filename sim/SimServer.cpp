#include "sim/SimServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace zorvik {

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void SetNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

std::string ErrnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

SimServer::SimServer(VirtualPrinter printer) : printer_(std::move(printer)) {}

SimServer::~SimServer()
{
    Stop();
}

std::string SimServer::PtyPath() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ptyPath_;
}

std::uint16_t SimServer::TcpPort() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tcpPort_;
}

bool SimServer::Start(const SimServerOptions& options)
{
    Stop();
    std::lock_guard<std::mutex> lock(mutex_);
    error_.clear();
    auto fail = [this](const char* what) {
        error_ = ErrnoText(what);
        CloseFd(master_);
        CloseFd(slaveHolder_);
        CloseFd(listen_);
        CloseFd(wakeRead_);
        CloseFd(wakeWrite_);
        ptyPath_.clear();
        tcpPort_ = 0;
        return false;
    };
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe");
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];

    if (options.pty) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return fail("pseudo-terminal");
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0)
            return fail("ptsname");
        ptyPath_ = name;
        // Holding the slave open ourselves keeps the line usable between the clients'
        // opens; raw mode so nothing is echoed or translated.
        slaveHolder_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slaveHolder_ < 0)
            return fail("open pseudo-terminal slave");
        termios tio{};
        if (::tcgetattr(slaveHolder_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slaveHolder_, TCSANOW, &tio);
        }
        SetNonBlocking(master_);
        ptyBytes_ = 0;
    }
    if (options.tcp) {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listen_ < 0)
            return fail("socket");
        const int yes = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only, always
        address.sin_port = htons(options.tcpPort);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return fail("bind 127.0.0.1");
        if (::listen(listen_, 4) != 0)
            return fail("listen");
        socklen_t length = sizeof address;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        tcpPort_ = ntohs(address.sin_port);
        SetNonBlocking(listen_);
    }
    stopping_ = false;
    running_ = true;
    thread_ = std::thread(&SimServer::Run, this);
    return true;
}

void SimServer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_)
            return;
        stopping_ = true;
    }
    Wake();
    thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
    CloseFd(client_);
    CloseFd(listen_);
    CloseFd(master_);
    CloseFd(slaveHolder_);
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
    out_.clear();
    held_.clear();
}

void SimServer::Wake()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(wakeWrite_, &byte, 1);
    }
}

void SimServer::ReleaseHeld()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& [target, bytes] : held_)
            out_.push_back({target, Clock::now(), std::move(bytes)});
        held_.clear();
        Flush();
    }
    Wake();
}

std::size_t SimServer::HeldBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t n = 0;
    for (const auto& h : held_)
        n += h.second.size();
    return n;
}

void SimServer::SendUnasked(const Bytes& bytes)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Target target : {ToPty, ToTcp})
            if (FdOf(target) >= 0)
                out_.push_back({target, Clock::now(), bytes});
        Flush();
    }
    Wake();
}

void SimServer::Unplug()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        CloseTarget(ToPty);
        CloseTarget(ToTcp);
    }
    Wake();
}

int SimServer::FdOf(Target target) const
{
    return target == ToPty ? master_ : client_;
}

void SimServer::CloseTarget(Target target)
{
    if (target == ToPty) {
        CloseFd(master_);
        CloseFd(slaveHolder_);
    } else {
        CloseFd(client_);
    }
    std::erase_if(out_, [target](const Outgoing& o) { return o.target == target; });
    std::erase_if(held_, [target](const auto& h) { return h.first == target; });
}

void SimServer::Queue(Target target, Bytes bytes)
{
    if (bytes.empty())
        return;
    const SimFaults& faults = printer_.Faults();
    if (faults.holdReplies) {
        held_.emplace_back(target, std::move(bytes));
        return;
    }
    // Replies leave in order: never before the one queued ahead of them.
    auto due = Clock::now() + std::chrono::milliseconds(faults.replyDelayMs);
    if (!out_.empty())
        due = std::max(due, out_.back().due);
    if (faults.splitGapMs == 0) {
        out_.push_back({target, due, std::move(bytes)});
        return;
    }
    for (std::uint8_t b : bytes) {
        out_.push_back({target, due, Bytes{b}});
        due += std::chrono::milliseconds(faults.splitGapMs);
    }
}

void SimServer::Flush()
{
    const auto now = Clock::now();
    while (!out_.empty() && out_.front().due <= now) {
        Outgoing& o = out_.front();
        const int fd = FdOf(o.target);
        if (fd < 0) {
            out_.pop_front();
            continue;
        }
        const ssize_t n = ::send(fd, o.bytes.data(), o.bytes.size(), MSG_NOSIGNAL);
        ssize_t written = n;
        if (n < 0 && errno == ENOTSOCK)
            written = ::write(fd, o.bytes.data(), o.bytes.size());
        if (written < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;  // the reader is behind; POLLOUT brings us back
            CloseTarget(o.target);
            continue;
        }
        o.bytes.erase(o.bytes.begin(), o.bytes.begin() + written);
        if (!o.bytes.empty())
            return;
        out_.pop_front();
    }
}

int SimServer::PollTimeoutMs() const
{
    if (out_.empty())
        return -1;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(out_.front().due - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait + 1, 0, INT_MAX));
}

void SimServer::Accept()
{
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    // The newest connection is the printer's one; an older one is dropped.
    CloseTarget(ToTcp);
    client_ = fd;
    tcpBytes_ = 0;
    printer_.ResetStream();
    if (printer_.Faults().refuseAfterBytes > 0) {
        const int small = 1024;
        ::setsockopt(client_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
}

void SimServer::HandleInput(Target from, bool hangup)
{
    const int fd = FdOf(from);
    std::size_t& count = from == ToPty ? ptyBytes_ : tcpBytes_;
    const SimFaults& faults = printer_.Faults();
    std::size_t room = 4096;
    if (faults.refuseAfterBytes > 0)
        room = std::min(room, faults.refuseAfterBytes - std::min(count, faults.refuseAfterBytes));
    if (faults.dropAfterBytes > 0)
        room = std::min(room, faults.dropAfterBytes - std::min(count, faults.dropAfterBytes));
    if (room == 0) {
        if (hangup && from == ToTcp)
            CloseTarget(ToTcp);  // refusing, and the client has gone
        return;
    }
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(fd, buffer, room);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        if (from == ToTcp)
            CloseTarget(ToTcp);  // the client went away
        return;
    }
    if (n < 0)
        return;
    count += static_cast<std::size_t>(n);
    Queue(from, printer_.Feed(buffer, static_cast<std::size_t>(n)));
    if (faults.dropAfterBytes > 0 && count >= faults.dropAfterBytes) {
        CloseTarget(from);
    }
}

void SimServer::Run()
{
    for (;;) {
        std::vector<pollfd> fds;
        int timeout = -1;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_)
                return;
            const SimFaults& faults = printer_.Faults();
            fds.push_back({wakeRead_, POLLIN, 0});
            for (Target target : {ToPty, ToTcp}) {
                const int fd = FdOf(target);
                if (fd < 0)
                    continue;
                const std::size_t count = target == ToPty ? ptyBytes_ : tcpBytes_;
                short events = 0;
                if (faults.refuseAfterBytes == 0 || count < faults.refuseAfterBytes)
                    events |= POLLIN;
                const bool waiting = std::any_of(out_.begin(), out_.end(), [&](const Outgoing& o) {
                    return o.target == target && o.due <= Clock::now();
                });
                if (waiting)
                    events |= POLLOUT;
                fds.push_back({fd, events, 0});
            }
            if (listen_ >= 0)
                fds.push_back({listen_, POLLIN, 0});
            timeout = PollTimeoutMs();
        }
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_)
            return;
        if (ready < 0 && errno != EINTR)
            return;
        for (const pollfd& p : fds) {
            if (p.revents == 0)
                continue;
            if (p.fd == wakeRead_) {
                char drain[64];
                while (::read(wakeRead_, drain, sizeof drain) > 0) {}
            } else if (p.fd == listen_) {
                Accept();
            } else if (p.fd == master_ && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
                HandleInput(ToPty, p.revents & (POLLHUP | POLLERR));
            } else if (p.fd == client_ && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
                HandleInput(ToTcp, p.revents & (POLLHUP | POLLERR));
            }
        }
        Flush();
    }
}

}  // namespace zorvik
