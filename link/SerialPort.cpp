#include "link/SerialPort.h"

#include <algorithm>
#include <array>
#include <climits>

namespace zorvik {
namespace {

// The printer needs a moment after the line is opened before it is configured.
constexpr std::uint32_t kPauseAfterOpenMs = 100;

}  // namespace

std::optional<SerialLine> SerialLineFor(const PortSettings& settings, SerialLine line)
{
    if (!LineSettingsValid(settings))
        return std::nullopt;
    line.baudRate = settings.baudRate;
    line.dataBits = settings.dataBits;
    // Few lines send one and a half stop bits; two is the nearest and a receiver set
    // for 1.5 accepts it. A line that can send 1.5 looks at oneAndHalfStopBits.
    line.stopBits = settings.stopBits == StopBits::One ? 1 : 2;
    line.oneAndHalfStopBits = settings.stopBits == StopBits::OneAndHalf;
    line.parity = settings.parity;
    line.checkParity = settings.parity != Parity::None;
    // The printer paces us with CTS whatever flow control was chosen. (It also
    // raises DSR, but a POSIX line cannot hold output on DSR; DSR is tested once at
    // open instead.)
    line.ctsHandshake = true;
    line.raiseDtr = true;
    line.raiseRts = true;
    // Only Hardware leaves XON/XOFF off; XonXoff and None (and any other code) both
    // turn it on in both directions, which is what the printer has always been
    // driven with.
    line.xonXoffOutput = settings.flowControl != FlowControl::Hardware;
    line.xonXoffInput = settings.flowControl != FlowControl::Hardware;
    return line;
}

SerialPort::SerialPort(Pacer& pacer, const DeviceNames& names, std::unique_ptr<SerialDevice> device)
    : pacer_(pacer), names_(names), device_(std::move(device))
{
}

SerialPort::~SerialPort()
{
    Close();
}

int SerialPort::Configure(const PortSettings& settings)
{
    const std::string keptName = settings_.portName;
    settings_ = settings;
    if (settings.portName.empty()) {
        settings_.portName = keptName;
        return 0;
    }
    return 1;
}

int SerialPort::Fail(const std::string& why)
{
    lastError_ = why + (device_->LastError().empty() ? "" : ": " + device_->LastError());
    device_->Close();
    isOpen_ = false;
    return 0;
}

int SerialPort::Open()
{
    if (!device_)
        return 0;
    if (device_->IsOpen())
        return isOpen_ ? 1 : 0;

    const std::string path = names_.DevicePath(settings_.portName);
    const bool opened = !path.empty() && device_->Open(path);
    pacer_.Pause(kPauseAfterOpenMs);
    if (!opened) {
        lastError_ =
            path.empty() ? "no device file for " + settings_.portName : path + ": " + device_->LastError();
        return 0;
    }

    SerialLine current;
    if (!device_->GetLine(current))
        return Fail("reading the line settings");
    const auto line = SerialLineFor(settings_, current);
    if (!line)
        return Fail("unsupported line settings");
    if (!device_->SetLine(*line))
        return Fail("setting the line");
    if (device_->Presence() != ModemPresence::DsrOn)
        return Fail("no printer (DSR low)");
    settings_.timeouts = kTimeouts;
    device_->Purge();
    isOpen_ = true;
    return 1;
}

int SerialPort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!isOpen_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    return device_->Write(
        buffer, count,
        TotalLimit(settings_.timeouts.writeTotalConstant, settings_.timeouts.writeTotalMultiplier, count));
}

int SerialPort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t /*timeoutMs*/)
{
    // The caller's time-out is not needed: the port's own limits always end a read
    // sooner (100 ms + 10 ms per byte, or 10 ms after the last byte).
    if (!isOpen_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    const ReadLimits limits{
        .intervalMs = settings_.timeouts.readInterval,
        .totalMs =
            TotalLimit(settings_.timeouts.readTotalConstant, settings_.timeouts.readTotalMultiplier, count),
    };
    const int n = device_->Read(buffer, count, limits);
    return n < 0 ? -1 : n;
}

void SerialPort::Close()
{
    if (device_)
        device_->Close();
    isOpen_ = false;
}

}  // namespace zorvik
