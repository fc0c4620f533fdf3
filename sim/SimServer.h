#pragma once
// Serves a VirtualPrinter on a pseudo-terminal (as a serial line) and/or a loopback
// TCP port, from one background thread. Tests and the demo run it in-process; the
// zorvik-sim program runs it on its own.
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimTransport.h"
#include "sim/VirtualPrinter.h"

namespace zorvik {

struct SimServerOptions {
    bool pty = false;
    bool tcp = false;
    std::uint16_t tcpPort = 0;  // 0: the system picks a free port
};

class SimServer {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit SimServer(VirtualPrinter printer = VirtualPrinter());
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Opens the transports and starts serving. False (with Error()) when one could not
    // be opened; nothing is left running then.
    bool Start(const SimServerOptions& options);
    // Stops serving and closes everything. Safe to call twice.
    void Stop();
    const std::string& Error() const { return error_; }

    // The slave side of the pseudo-terminal ("/dev/pts/N"), empty without one.
    std::string PtyPath() const;
    // The loopback TCP port served, 0 without one.
    std::uint16_t TcpPort() const;

    // Runs f on the printer under the server's lock; the server thread waits meanwhile
    // and looks at the faults again once f has run.
    template <typename F> auto WithPrinter(F&& f)
    {
        struct WakeAfter {
            SimServer* server;
            ~WakeAfter() { server->Wake(); }
        } wake{this};  // destroyed after the lock below is released
        std::lock_guard<std::mutex> lock(mutex_);
        return f(printer_);
    }

    // Waits until condition(printer) holds, checked under the lock, for at most
    // `limit`; the bytes a client wrote just before may still be on their way.
    template <typename F>
    bool WaitFor(F&& condition, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (WithPrinter(condition))
                return true;
            if (std::chrono::steady_clock::now() >= until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Replies kept back by the holdReplies fault leave now; they are in the system's
    // buffers when this returns.
    void ReleaseHeld();
    std::size_t HeldBytes() const;
    // Sends bytes nobody asked for on every open transport (stray input).
    void SendUnasked(const Bytes& bytes);
    // The printer goes away: the pty master and any TCP client are closed.
    void Unplug();

private:
    using Clock = std::chrono::steady_clock;
    using Target = SimLine;
    static constexpr Target ToPty = kSimPty;
    static constexpr Target ToTcp = kSimTcp;
    struct Outgoing {
        Target target;
        Clock::time_point due;
        Bytes bytes;
        bool endsChosen = false;  // the last piece of a reply the faults chose
        bool babble = false;
    };
    // What one connection has seen: a TCP client, or the pty since the server start.
    struct Line {
        Clock::time_point openedAt{};
        std::size_t received = 0;    // bytes read
        int chosenSent = 0;          // chosen replies that have left
        bool hangUpPending = false;  // pty: cut once the client has read what was sent
        bool babbling = false;
        Clock::time_point nextBabble{};
    };

    void Run();
    void Wake();
    // All below run with mutex_ held.
    void HandleInput(Target from, bool hangup);
    void Accept();
    void OpenLine(Target target);
    void Queue(Target target, std::vector<SimReplyOut> replies);
    Clock::time_point LastDue(Target target) const;
    void Flush();
    // The piece went out whole; false when that cut the line.
    bool Sent(const Outgoing& piece);
    // Timed faults: cuts by time, a pty cut waiting for its reader, babble.
    void Tick();
    bool BabbleQueued(Target target) const;
    void CloseTarget(Target target);
    int PollTimeoutMs() const;

    mutable std::mutex mutex_;
    VirtualPrinter printer_;
    std::string error_;
    std::thread thread_;
    bool running_ = false;
    bool stopping_ = false;
    SimTransport transport_;
    Line lines_[2];  // by Target
    std::deque<Outgoing> out_;
    std::vector<Outgoing> held_;
};

}  // namespace zorvik
