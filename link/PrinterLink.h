#pragma once
// The one object every printer byte passes through. It picks the attachment from
// the port name, makes the matching port and routes the five operations to it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/Port.h"
#include "link/PortSettings.h"

namespace zorvik {

// Makes the concrete port for an interface type. The system factory makes the real
// ports; tests hand in fakes.
class PortFactory {
public:
    virtual ~PortFactory() = default;
    virtual std::unique_ptr<Port> Make(InterfaceType type) = 0;
};

// The interface a port name stands for: "COM…" and "\\.\COM…" serial, "LPT…"
// parallel, a device path /dev/tty… serial and /dev/lp… or /dev/parport… parallel,
// any name holding "LXT-640IV" USB, anything else Ethernet when tcpPort is not 0.
// Comparisons are case-sensitive. No value: the name matches nothing.
std::optional<InterfaceType> ClassifyPortName(const std::string& portName, std::uint32_t tcpPort);

enum class TraceDirection { Write, Read };
// Called after every transfer with the bytes that moved and the transfer's result as
// returned (no bytes when it is 0 or, for a broken connection on a read, -1).
using LinkTrace = std::function<void(TraceDirection, const std::uint8_t* bytes, int result)>;

class PrinterLink {
public:
    explicit PrinterLink(std::unique_ptr<PortFactory> factory);
    ~PrinterLink();
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    // Non-zero when a port object was made and accepted the settings. A port object
    // left by an earlier failure is released first.
    int CreatePort(PortSettings settings);
    int Open();
    // The port's results as they are (Port::Write, Port::Read): Read gives the bytes
    // received, 0 when nothing came within the time-out, -1 when the connection is
    // closed or failed. Without a port object both return 0.
    int Write(const std::uint8_t* buffer, std::uint32_t count);
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs);
    void Close();

    // Type of the port last created; kept after Close.
    InterfaceType Type() const { return type_; }
    bool HasPort() const { return port_ != nullptr; }
    Port* CurrentPort() { return port_.get(); }

    void SetTrace(LinkTrace trace) { trace_ = std::move(trace); }

private:
    std::unique_ptr<PortFactory> factory_;
    InterfaceType type_ = InterfaceType::Serial;
    std::unique_ptr<Port> port_;
    LinkTrace trace_;
};

}  // namespace zorvik
