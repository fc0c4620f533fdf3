#include "sim/SimServer.h"

#include <algorithm>
#include <climits>
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

}  // namespace

SimServer::SimServer(VirtualPrinter printer) : printer_(std::move(printer)) {}

SimServer::~SimServer()
{
    Stop();
}

std::string SimServer::PtyPath() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transport_.PtyPath();
}

std::uint16_t SimServer::TcpPort() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transport_.TcpPort();
}

bool SimServer::Start(const SimServerOptions& options)
{
    Stop();
    std::lock_guard<std::mutex> lock(mutex_);
    error_.clear();
    const bool opened = transport_.OpenWake() && (!options.pty || transport_.OpenPty()) &&
                        (!options.tcp || transport_.OpenTcp(options.tcpPort));
    if (!opened) {
        error_ = transport_.Error();
        transport_.CloseAll();
        return false;
    }
    if (options.pty)
        OpenLine(ToPty);
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
    transport_.CloseAll();
    out_.clear();
    held_.clear();
    for (Line& line : lines_)
        line = Line{};
}

void SimServer::Wake()
{
    std::lock_guard<std::mutex> lock(mutex_);
    transport_.Wake();
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
            if (transport_.IsOpen(target))
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

void SimServer::CloseTarget(Target target)
{
    transport_.Close(target);
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
        if (!transport_.IsOpen(it->target)) {
            it = out_.erase(it);
            continue;
        }
        const long written = transport_.Send(it->target, it->bytes.data(), it->bytes.size());
        if (written < 0) {
            if (written == SimTransport::kWouldBlock) {
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
        if (!transport_.IsOpen(target))
            continue;
        Line& line = lines_[target];
        if (faults.hangUpAfterMs > 0 &&
            now >= line.openedAt + std::chrono::milliseconds(faults.hangUpAfterMs)) {
            CloseTarget(target);
            continue;
        }
        if (line.hangUpPending) {
            if (!transport_.PtyUnread())
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
        if (!transport_.IsOpen(target))
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
    // The newest connection is the printer's one; an older one is dropped.
    if (!transport_.Accept(printer_.Faults().refuseAfterBytes > 0))
        return;
    std::erase_if(out_, [](const Outgoing& o) { return o.target == ToTcp; });
    std::erase_if(held_, [](const Outgoing& h) { return h.target == ToTcp; });
    OpenLine(ToTcp);
    printer_.ResetStream();
}

void SimServer::HandleInput(Target from, bool hangup)
{
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
    const long n = transport_.Receive(from, buffer, room);
    if (n == 0 || n == SimTransport::kFailed) {
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
        int timeout = -1;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_)
                return;
            const SimFaults& faults = printer_.Faults();
            bool in[2] = {false, false};
            bool out[2] = {false, false};
            for (Target target : {ToPty, ToTcp}) {
                const Line& line = lines_[target];
                // A line being cut takes nothing more in.
                in[target] = !line.hangUpPending &&
                             (faults.refuseAfterBytes == 0 || line.received < faults.refuseAfterBytes);
                // The line's next piece is due and was not taken: wait for room.
                const auto next = std::find_if(out_.begin(), out_.end(),
                                               [target](const Outgoing& o) { return o.target == target; });
                out[target] = !line.hangUpPending && next != out_.end() && next->due <= Clock::now();
            }
            transport_.Prepare(in, out);
            timeout = PollTimeoutMs();
        }
        const bool waited = transport_.Wait(timeout);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !waited)
            return;
        const SimTransport::Ready ready = transport_.Seen();
        for (Target target : {ToPty, ToTcp})
            if (ready.input[target] && transport_.IsOpen(target))
                HandleInput(target, ready.hangup[target]);
        if (ready.accept)
            Accept();
        Tick();
        Flush();
    }
}

}  // namespace zorvik
