// Wall time of Get Status, Set Status and the largest font download against the
// virtual printer, over loopback TCP and over a pseudo-terminal, each as a ratio to
// the sum of the pauses the printer protocol prescribes (the floor no implementation
// can beat). The pauses are counted by a pacer that also sleeps them.
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/ConnectionCheck.h"
#include "cli/LoopTimerHost.h"
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

struct Measure {
    double wallMs = 0;
    std::uint64_t pauseMs = 0;
    bool ok = false;
};

Measure Time(CountingPacer& pacer, const std::function<bool()>& run)
{
    pacer.total = 0;
    const auto start = Clock::now();
    Measure m;
    m.ok = run();
    m.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    m.pauseMs = pacer.total;
    return m;
}

void Print(const char* transport, const char* what, const Measure& m)
{
    if (!m.ok) {
        std::printf("%-6s %-24s FAILED\n", transport, what);
        return;
    }
    std::printf("%-6s %-24s wall %9.1f ms   pauses %7llu ms   ratio %.3f\n", transport, what, m.wallMs,
                static_cast<unsigned long long>(m.pauseMs),
                m.pauseMs ? m.wallMs / static_cast<double>(m.pauseMs) : 0.0);
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

bool RunTransport(const char* name, const PortSettings& settings, InterfaceType type)
{
    CountingPacer pacer;
    SilentNotifier notifier;
    PrinterLink link(MakeSystemPortFactory(pacer, notifier, DeviceNames()));
    ConnectionCheck check(link, pacer, notifier);
    if (!check.Run(type, settings)) {
        std::printf("%-6s the connection check failed\n", name);
        return false;
    }
    LoopTimerHost timers;
    StatusSession session(link, type, pacer, notifier, timers);
    Print(name, "Get Status", Time(pacer, [&] { return session.Handshake() && session.ReadSettings(); }));
    Print(name, "Set Status", Time(pacer, [&] { return session.Handshake() && session.WriteSettings(); }));
    const int font = LargestFontIndex();
    Print(name, (std::string("font ") + kDoubleFontItems[static_cast<std::size_t>(font)].text).c_str(),
          Time(pacer, [&] {
              session.StartFontDownload(font);
              timers.Run(session, pacer);
              return session.Result() == DialogResult::Ok;
          }));
    return true;
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
    pty.flowControl = 2;
    pty.timeouts = {10, 10, 10, 0, 0};
    std::printf("ratio = wall time / prescribed pauses (1.000 is the floor)\n");
    const bool ok = RunTransport("tcp", tcp, Ethernet) & RunTransport("pty", pty, Serial);
    return ok ? 0 : 1;
}
