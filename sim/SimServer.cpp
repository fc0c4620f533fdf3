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
#include <optional>

namespace zorvik {

namespace {

// Babble leaves in pieces of this size, one piece at a time and never faster than
// this: a reader that stops reading fills nothing but its own buffers.
constexpr std::size_t kBabblePieceBytes = 64;
constexpr auto kBabbleGap = std::chrono::milliseconds(5);
// How often a pty cut waiting for its reader looks again.
constexpr int kHangUpCheckMs = 2;

long long CeilMs(std::chrono::steady_clock::duration d)
{
    return std::chrono::ceil<std::chrono::milliseconds>(d).count();
}

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
        out_.clear();  // the stray a pty line got on opening
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
        OpenLine(ToPty);
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
    for (Line& line : lines_)
        line = Line{};
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
        for (auto& piece : held_) {
            piece.due = Clock::now();
            out_.push_back(std::move(piece));
        }
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
        n += h.bytes.size();
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
    std::erase_if(held_, [target](const Outgoing& h) { return h.target == target; });
    lines_[target] = Line{};
}

void SimServer::OpenLine(Target target)
{
    lines_[target] = Line{};
    lines_[target].openedAt = Clock::now();
    const Bytes& stray = printer_.Faults().strayOnConnect;
    if (!stray.empty())
        out_.push_back({target, Clock::now(), stray});
}

SimServer::Clock::time_point SimServer::LastDue(Target target) const
{
    for (auto it = out_.rbegin(); it != out_.rend(); ++it)
        if (it->target == target)
            return it->due;
    return {};
}

void SimServer::Queue(Target target, std::vector<SimReplyOut> replies)
{
    const SimFaults& faults = printer_.Faults();
    for (SimReplyOut& reply : replies) {
        if (reply.bytes.empty())
            continue;
        const bool chosen = faults.Chooses(reply.kind, reply.switchNumber);
        if (faults.holdReplies) {
            held_.push_back({target, {}, std::move(reply.bytes), chosen});
            continue;
        }
        // Replies leave in order: never before the one queued ahead of them.
        auto due = Clock::now() + std::chrono::milliseconds(chosen ? faults.replyDelayMs : 0);
        due = std::max(due, LastDue(target));
        if (!chosen || faults.splitGapMs == 0) {
            out_.push_back({target, due, std::move(reply.bytes), chosen});
            continue;
        }
        const std::size_t piece = std::max<std::size_t>(1, faults.splitPieceBytes);
        const auto& bytes = reply.bytes;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            const std::size_t end = std::min(bytes.size(), at + piece);
            out_.push_back({target, due,
                            Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(end)),
                            end == bytes.size()});
            due += std::chrono::milliseconds(faults.splitGapMs);
        }
    }
}

// Each line's pieces leave in order; a line whose reader is behind, or whose next piece
// is not due, holds back only its own pieces.
void SimServer::Flush()
{
    const auto now = Clock::now();
    bool stuck[2] = {lines_[ToPty].hangUpPending, lines_[ToTcp].hangUpPending};
    for (auto it = out_.begin(); it != out_.end();) {
        if (stuck[it->target] || it->due > now) {
            stuck[it->target] = true;
            ++it;
            continue;
        }
        const int fd = FdOf(it->target);
        if (fd < 0) {
            it = out_.erase(it);
            continue;
        }
        const ssize_t n = ::send(fd, it->bytes.data(), it->bytes.size(), MSG_NOSIGNAL);
        ssize_t written = n;
        if (n < 0 && errno == ENOTSOCK)
            written = ::write(fd, it->bytes.data(), it->bytes.size());
        if (written < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                stuck[it->target] = true;  // the reader is behind; POLLOUT brings us back
                ++it;
                continue;
            }
            CloseTarget(it->target);
            it = out_.begin();
            continue;
        }
        it->bytes.erase(it->bytes.begin(), it->bytes.begin() + written);
        if (!it->bytes.empty()) {
            stuck[it->target] = true;
            ++it;
            continue;
        }
        const Outgoing piece = std::move(*it);
        it = out_.erase(it);
        if (!Sent(piece)) {
            it = out_.begin();  // the line was cut and its pieces dropped
            continue;
        }
        stuck[piece.target] = stuck[piece.target] || lines_[piece.target].hangUpPending;
    }
}

bool SimServer::Sent(const Outgoing& piece)
{
    if (!piece.endsChosen)
        return true;
    const SimFaults& faults = printer_.Faults();
    Line& line = lines_[piece.target];
    ++line.chosenSent;
    if (faults.babbleAfterReplies > 0 && line.chosenSent >= faults.babbleAfterReplies && !line.babbling) {
        line.babbling = true;
        line.nextBabble = Clock::now();
    }
    if (faults.hangUpAfterReplies > 0 && line.chosenSent >= faults.hangUpAfterReplies) {
        if (piece.target == ToTcp) {
            CloseTarget(ToTcp);
            return false;
        }
        // Closing the master drops what the client has not read yet: wait for it to read.
        line.hangUpPending = true;
    }
    return true;
}

bool SimServer::BabbleQueued(Target target) const
{
    return std::any_of(out_.begin(), out_.end(),
                       [target](const Outgoing& o) { return o.target == target && o.babble; });
}

void SimServer::Tick()
{
    const auto now = Clock::now();
    const SimFaults& faults = printer_.Faults();
    for (Target target : {ToPty, ToTcp}) {
        if (FdOf(target) < 0)
            continue;
        Line& line = lines_[target];
        if (faults.hangUpAfterMs > 0 &&
            now >= line.openedAt + std::chrono::milliseconds(faults.hangUpAfterMs)) {
            CloseTarget(target);
            continue;
        }
        if (line.hangUpPending) {
            // The slave has no input left once the client has read it all.
            pollfd p{slaveHolder_, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0)
                CloseTarget(target);
            continue;
        }
        if (line.babbling && now >= line.nextBabble && !BabbleQueued(target)) {
            out_.push_back({target, std::max(now, LastDue(target)),
                            Bytes(kBabblePieceBytes, faults.babbleByte), false, true});
            line.nextBabble = now + kBabbleGap;
        }
    }
}

int SimServer::PollTimeoutMs() const
{
    const auto now = Clock::now();
    std::optional<Clock::time_point> next;
    auto atTheLatest = [&next](Clock::time_point t) {
        if (!next || t < *next)
            next = t;
    };
    // Pieces already due wait for POLLOUT (or for the piece ahead); the others for their time.
    for (const Outgoing& o : out_)
        if (o.due > now)
            atTheLatest(o.due);
    const SimFaults& faults = printer_.Faults();
    for (Target target : {ToPty, ToTcp}) {
        if (FdOf(target) < 0)
            continue;
        const Line& line = lines_[target];
        if (faults.hangUpAfterMs > 0)
            atTheLatest(line.openedAt + std::chrono::milliseconds(faults.hangUpAfterMs));
        if (line.hangUpPending)
            atTheLatest(now + std::chrono::milliseconds(kHangUpCheckMs));
        else if (line.babbling && !BabbleQueued(target))
            atTheLatest(line.nextBabble);
    }
    if (!next)
        return -1;
    return static_cast<int>(std::clamp<long long>(CeilMs(*next - now), 0, INT_MAX));
}

void SimServer::Accept()
{
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    // The newest connection is the printer's one; an older one is dropped.
    CloseTarget(ToTcp);
    client_ = fd;
    OpenLine(ToTcp);
    printer_.ResetStream();
    if (printer_.Faults().refuseAfterBytes > 0) {
        const int small = 1024;
        ::setsockopt(client_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
}

void SimServer::HandleInput(Target from, bool hangup)
{
    const int fd = FdOf(from);
    std::size_t& count = lines_[from].received;
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
    Queue(from, printer_.FeedReplies(buffer, static_cast<std::size_t>(n)));
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
                const Line& line = lines_[target];
                short events = 0;
                // A line being cut takes nothing more in.
                if (!line.hangUpPending &&
                    (faults.refuseAfterBytes == 0 || line.received < faults.refuseAfterBytes))
                    events |= POLLIN;
                // The line's next piece is due and was not taken: wait for room.
                const auto next = std::find_if(out_.begin(), out_.end(),
                                               [target](const Outgoing& o) { return o.target == target; });
                if (!line.hangUpPending && next != out_.end() && next->due <= Clock::now())
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
                while (::read(wakeRead_, drain, sizeof drain) > 0) {
                }
            } else if (p.fd == listen_) {
                Accept();
            } else if (p.fd == master_ && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
                HandleInput(ToPty, p.revents & (POLLHUP | POLLERR));
            } else if (p.fd == client_ && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
                HandleInput(ToTcp, p.revents & (POLLHUP | POLLERR));
            }
        }
        Tick();
        Flush();
    }
}

}  // namespace zorvik
