#include "link/SerialPort.h"

#include <algorithm>
#include <array>
#include <climits>

namespace zorvik {
namespace {

// The printer needs a moment after the line is opened before it is configured.
constexpr std::uint32_t kPauseAfterOpenMs = 100;
constexpr std::array<std::uint32_t, 7> kRates{2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

std::optional<SerialLine> SerialLineFor(const PortSettings& settings, SerialLine line)
{
    if (std::find(kRates.begin(), kRates.end(), settings.baudRate) == kRates.end())
        return std::nullopt;
    if (settings.dataBits < 5 || settings.dataBits > 8)
        return std::nullopt;
    line.baudRate = settings.baudRate;
    line.dataBits = settings.dataBits;
    switch (settings.stopBits) {
    case 0:
        line.stopBits = 1;
        break;
    // Few lines send one and a half stop bits; two is the nearest and a receiver set
    // for 1.5 accepts it.
    case 1:
    case 2:
        line.stopBits = 2;
        break;
    default:
        return std::nullopt;
    }
    switch (settings.parity) {
    case 0:
        line.parity = SerialParity::None;
        break;
    case 1:
        line.parity = SerialParity::Odd;
        break;
    case 2:
        line.parity = SerialParity::Even;
        break;
    case 3:
        line.parity = SerialParity::Mark;
        break;
    case 4:
        line.parity = SerialParity::Space;
        break;
    default:
        return std::nullopt;
    }
    line.oneAndHalfStopBits = settings.stopBits == 1;
    line.checkParity = settings.parity != 0;
    // The printer paces us with CTS whatever flow control was chosen. (It also
    // raises DSR, but a POSIX line cannot hold output on DSR; DSR is tested once at
    // open instead.)
    line.ctsHandshake = true;
    line.raiseDtr = true;
    line.raiseRts = true;
    // Only "Hardware" (0) leaves XON/XOFF off; "Xon/Xoff" (1) and "None" (2) both
    // turn it on in both directions, which is what the printer has always been
    // driven with.
    line.xonXoffOutput = settings.flowControl != 0;
    line.xonXoffInput = settings.flowControl != 0;
    return line;
}

SerialPort::SerialPort(Pacer& pacer, const DeviceNames& names, std::unique_ptr<SerialDevice> device)
    : pacer_(pacer), names_(names), device(std::move(device))
{
}

SerialPort::~SerialPort()
{
    Close();
}

int SerialPort::Configure(const PortSettings& settings)
{
    baudRate = settings.baudRate;
    dataBits = settings.dataBits;
    stopBits = settings.stopBits;
    parity = settings.parity;
    flowControl = settings.flowControl;
    timeouts = settings.timeouts;
    if (settings.portName.empty())
        return 0;
    portName = settings.portName;
    return 1;
}

int SerialPort::Fail(const std::string& why)
{
    lastError_ = why + (device->LastError().empty() ? "" : ": " + device->LastError());
    device->Close();
    isOpen = false;
    return 0;
}

int SerialPort::Open()
{
    if (!device)
        return 0;
    if (device->IsOpen())
        return isOpen ? 1 : 0;

    const std::string path = names_.DevicePath(portName);
    const bool opened = !path.empty() && device->Open(path);
    pacer_.Pause(kPauseAfterOpenMs);
    if (!opened) {
        lastError_ = path.empty() ? "no device file for " + portName : path + ": " + device->LastError();
        return 0;
    }

    SerialLine current;
    if (!device->GetLine(current))
        return Fail("reading the line settings");
    PortSettings wanted;
    wanted.baudRate = baudRate;
    wanted.dataBits = dataBits;
    wanted.stopBits = stopBits;
    wanted.parity = parity;
    wanted.flowControl = flowControl;
    const auto line = SerialLineFor(wanted, current);
    if (!line)
        return Fail("unsupported line settings");
    if (!device->SetLine(*line))
        return Fail("setting the line");
    if (device->Presence() != ModemPresence::DsrOn)
        return Fail("no printer (DSR low)");
    timeouts = kTimeouts;
    device->Purge();
    isOpen = true;
    return 1;
}

int SerialPort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!isOpen || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    std::lock_guard lock(ioLock);
    return device->Write(buffer, count,
                         TotalLimit(timeouts.writeTotalConstant, timeouts.writeTotalMultiplier, count));
}

int SerialPort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t /*timeoutMs*/)
{
    // The caller's time-out is not needed: the port's own limits always end a read
    // sooner (100 ms + 10 ms per byte, or 10 ms after the last byte).
    if (!isOpen || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    std::lock_guard lock(ioLock);
    const ReadLimits limits{
        .intervalMs = timeouts.readInterval,
        .totalMs = TotalLimit(timeouts.readTotalConstant, timeouts.readTotalMultiplier, count),
    };
    const int n = device->Read(buffer, count, limits);
    return n < 0 ? -1 : n;
}

void SerialPort::Close()
{
    if (device)
        device->Close();
    isOpen = false;
}

}  // namespace zorvik
