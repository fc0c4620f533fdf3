// Wall time of Get Status, Set Status and the largest font download against the
// virtual printer, over loopback TCP and over a pseudo-terminal, each as a ratio to
// the floor no implementation of the printer protocol can beat: the pauses it
// prescribes plus the time its reads must wait when they find nothing (the serial
// port's total limit, or the caller's time-out on the network) or end short (the
// serial port's silence interval). The pauses are counted by a pacer that also
// sleeps them; the reads by a port that wraps the system's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ConnectionCheck.h"
#include "cli/LoopTimerHost.h"
#include "link/SerialPort.h"
#include "link/SystemPortFactory.h"
#include "resources/FontImages.h"
#include "resources/SettingsTexts.h"
#include "settings/StatusSession.h"
#include "sim/SimServer.h"

namespace {

using namespace zorvik;
using Clock = std::chrono::steady_clock;

class CountingPacer final : public Pacer {
public:
    void Pause(std::uint32_t ms) override
    {
        total += ms;
        real.Pause(ms);
    }
    std::uint64_t total = 0;

private:
    SystemPacer real;
};

// The least time a read can take on this interface, whatever the printer does: a
// serial read that receives nothing runs to its total limit, one that ends short of
// its count waits out the silence interval after its last byte; a network read that
// finds nothing waits its caller's time-out (a connection error ends at once).
std::uint32_t ReadFloorMs(InterfaceType type, std::uint32_t count, int result, std::uint32_t timeoutMs)
{
    if (type == InterfaceType::Serial) {
        const CommTimeouts& limits = SerialPort::kTimeouts;
        if (result <= 0)
            return TotalLimit(limits.readTotalConstant, limits.readTotalMultiplier, count);
        return static_cast<std::uint32_t>(result) < count ? limits.readInterval : 0;
    }
    return result == 0 ? timeoutMs : 0;
}

struct ReadRecord {
    std::uint32_t count = 0;
    int result = 0;
    bool silent = false;  // nothing received
    std::uint32_t floorMs = 0;
};

// Every read of one exchange, with what it cost at least.
struct ReadLog {
    std::vector<ReadRecord> reads;

    std::uint64_t SilentReads() const
    {
        return static_cast<std::uint64_t>(
            std::count_if(reads.begin(), reads.end(), [](const ReadRecord& r) { return r.silent; }));
    }
    std::uint64_t FloorMs(bool silent) const
    {
        std::uint64_t total = 0;
        for (const ReadRecord& r : reads)
            if (r.silent == silent)
                total += r.floorMs;
        return total;
    }
};

// Forwards every call to the system's port and logs each read.
class CountingPort final : public Port {
public:
    CountingPort(std::unique_ptr<Port> inner, InterfaceType type, ReadLog& log)
        : inner_(std::move(inner)), type_(type), log_(log)
    {
    }

    int Configure(const PortSettings& settings) override { return inner_->Configure(settings); }
    int Open() override { return inner_->Open(); }
    int Write(const std::uint8_t* buffer, std::uint32_t count) override
    {
        return inner_->Write(buffer, count);
    }
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override
    {
        const int result = inner_->Read(buffer, count, timeoutMs);
        log_.reads.push_back({count, result, result <= 0, ReadFloorMs(type_, count, result, timeoutMs)});
        return result;
    }
    void Close() override { inner_->Close(); }
    int DeviceEventHandle() const override { return inner_->DeviceEventHandle(); }
    void HandleDeviceChange() override { inner_->HandleDeviceChange(); }
    const char* LastError() const override { return inner_->LastError(); }

private:
    std::unique_ptr<Port> inner_;
    InterfaceType type_;
    ReadLog& log_;
};

class CountingPortFactory final : public PortFactory {
public:
    CountingPortFactory(std::unique_ptr<PortFactory> inner, ReadLog& log)
        : inner_(std::move(inner)), log_(log)
    {
    }

    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        auto port = inner_->Make(type);
        return port ? std::make_unique<CountingPort>(std::move(port), type, log_) : nullptr;
    }

private:
    std::unique_ptr<PortFactory> inner_;
    ReadLog& log_;
};

struct Measure {
    double wallMs = 0;
    std::uint64_t pauseMs = 0;
    std::uint64_t silentMs = 0;
    std::uint64_t intervalMs = 0;
    std::uint64_t silentReads = 0;
    bool ok = false;

    std::uint64_t FloorMs() const { return pauseMs + silentMs + intervalMs; }
};

Measure Time(CountingPacer& pacer, ReadLog& log, const std::function<bool()>& run)
{
    pacer.total = 0;
    log.reads.clear();
    const auto start = Clock::now();
    Measure m;
    m.ok = run();
    m.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    m.pauseMs = pacer.total;
    m.silentMs = log.FloorMs(true);
    m.intervalMs = log.FloorMs(false);
    m.silentReads = log.SilentReads();
    return m;
}

// False when the exchange failed.
bool Print(const char* transport, double target, const char* what, const Measure& m)
{
    if (!m.ok) {
        std::printf("%-4s %-30s FAILED\n", transport, what);
        return false;
    }
    const std::uint64_t floor = m.FloorMs();
    const double ratio = floor ? m.wallMs / static_cast<double>(floor) : 0.0;
    std::printf("%-4s %-30s wall %9.1f  pauses %7llu  silent %6llu (%3llu reads)  interval %4llu  floor %7llu"
                "  ratio %.3f %s (target %.2f)\n",
                transport, what, m.wallMs, static_cast<unsigned long long>(m.pauseMs),
                static_cast<unsigned long long>(m.silentMs), static_cast<unsigned long long>(m.silentReads),
                static_cast<unsigned long long>(m.intervalMs), static_cast<unsigned long long>(floor), ratio,
                ratio <= target ? "ok" : "over", target);
    return true;
}

// The largest of the five font images, by its double-byte font list index.
int LargestFontIndex()
{
    int best = 2;
    std::size_t bestSize = 0;
    for (int i = 2; i < static_cast<int>(kDoubleFontItems.size()); ++i) {
        const std::size_t size =
            FontImages::Find(kDoubleFontItems[static_cast<std::size_t>(i)].resourceId).size();
        if (size > bestSize) {
            best = i;
            bestSize = size;
        }
    }
    return best;
}

// False when the connection check or an exchange failed.
bool RunTransport(const char* name, double target, const PortSettings& settings, InterfaceType type)
{
    CountingPacer pacer;
    SilentNotifier notifier;
    ReadLog log;
    PrinterLink link(
        std::make_unique<CountingPortFactory>(MakeSystemPortFactory(pacer, notifier, DeviceNames()), log));
    ConnectionCheck check(link, pacer, notifier);
    if (!check.Run(type, settings)) {
        std::printf("%-4s the connection check failed\n", name);
        return false;
    }
    LoopTimerHost timers;
    StatusSession session(link, type, pacer, notifier, timers);
    bool ok = Print(name, target, "Get Status",
                    Time(pacer, log, [&] { return session.Handshake() && session.ReadSettings(); }));
    ok &= Print(name, target, "Set Status",
                Time(pacer, log, [&] { return session.Handshake() && session.WriteSettings(); }));
    const int font = LargestFontIndex();
    ok &= Print(name, target,
                (std::string("font ") + kDoubleFontItems[static_cast<std::size_t>(font)].text).c_str(),
                Time(pacer, log, [&] {
                    session.StartFontDownload(font);
                    timers.Run(session, pacer);
                    return session.Result() == DialogResult::Ok;
                }));
    return ok;
}

}  // namespace

int main()
{
    SimServer server;
    if (!server.Start({true, true, 0})) {
        std::fprintf(stderr, "the virtual printer did not start: %s\n", server.Error().c_str());
        return 1;
    }
    PortSettings tcp;
    tcp.portName = "127.0.0.1";
    tcp.tcpPort = server.TcpPort();
    PortSettings pty;
    pty.portName = server.PtyPath();
    pty.baudRate = 115200;
    pty.dataBits = 8;
    pty.flowControl = FlowControl::None;
    pty.timeouts = {10, 10, 10, 0, 0};
    std::printf("times in ms; floor = pauses + silent reads (nothing received) + interval waits (reads that\n"
                "ended short); ratio = wall / floor, 1.000 is the floor\n");
    // Slower than the target is reported, never failed: only a failed exchange fails.
    const bool ok = RunTransport("tcp", 1.01, tcp, InterfaceType::Ethernet) &
                    RunTransport("pty", 1.05, pty, InterfaceType::Serial);
    return ok ? 0 : 1;
}
