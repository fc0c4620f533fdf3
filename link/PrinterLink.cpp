#include "link/PrinterLink.h"

#include <string_view>

#include "resources/LinkTexts.h"

namespace zorvik {

std::optional<InterfaceType> ClassifyPortName(const std::string& name, std::uint32_t tcpPort)
{
    const std::string_view n(name);
    if (n.starts_with("COM") || n.starts_with("\\\\.\\COM"))
        return InterfaceType::Serial;
    if (n.starts_with("LPT"))
        return InterfaceType::Parallel;
    if (n.starts_with("/dev/tty") || n.starts_with("/dev/pts/"))
        return InterfaceType::Serial;
    if (n.starts_with("/dev/lp") || n.starts_with("/dev/parport"))
        return InterfaceType::Parallel;
    if (n.find(kModelName) != std::string_view::npos)
        return InterfaceType::Usb;
    if (tcpPort == 0)
        return std::nullopt;
    return InterfaceType::Ethernet;
}

PrinterLink::PrinterLink(std::unique_ptr<PortFactory> factory) : factory_(std::move(factory)) {}

PrinterLink::~PrinterLink() = default;

int PrinterLink::CreatePort(PortSettings settings)
{
    port_.reset();
    const auto type = ClassifyPortName(settings.portName, settings.tcpPort);
    if (!type)
        return 0;
    type_ = *type;
    if (type_ == InterfaceType::Usb) {
        // The port receives the bare device path behind the "LXT-640IV:" prefix.
        const std::size_t prefix = std::string_view(kUsbPortPrefix).size();
        settings.portName =
            settings.portName.size() > prefix ? settings.portName.substr(prefix) : std::string();
    }
    port_ = factory_ ? factory_->Make(type_) : nullptr;
    if (!port_)
        return 0;
    return port_->Configure(settings);
}

int PrinterLink::Open()
{
    return port_ ? port_->Open() : 0;
}

int PrinterLink::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!port_)
        return 0;
    const int n = port_->Write(buffer, count);
    if (trace_)
        trace_(TraceDirection::Write, buffer, n);
    return n;
}

int PrinterLink::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    if (!port_)
        return 0;
    const int n = port_->Read(buffer, count, timeoutMs);
    if (trace_)
        trace_(TraceDirection::Read, buffer, n);
    return n;
}

void PrinterLink::Close()
{
    if (!port_)
        return;
    port_->Close();
    port_.reset();
}

}  // namespace zorvik
