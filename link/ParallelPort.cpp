#include "link/ParallelPort.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "link/PrinterLink.h"

namespace zorvik {
namespace {

// A long print job may keep a parallel printer busy for minutes.
constexpr std::uint32_t kParallelWriteLimitMs = 300000;
// Used when the settings give a read no total limit at all, which would
// otherwise wait for the printer for ever.
constexpr std::uint32_t kFallbackReadConstantMs = 100;
constexpr std::uint32_t kFallbackReadPerByteMs = 10;

}  // namespace

ParallelPort::ParallelPort(const DeviceNames& names, std::unique_ptr<ParallelDevice> device)
    : names_(names), device_(std::move(device))
{
}

ParallelPort::~ParallelPort()
{
    Close();
}

int ParallelPort::Configure(const PortSettings& settings)
{
    timeouts_ = settings.timeouts;
    timeouts_.writeTotalConstant = kParallelWriteLimitMs;
    // "LPT1".."LPT3", or a parallel device path such as /dev/lp0.
    const auto type = ClassifyPortName(settings.portName, 0);
    if (settings.portName.empty() || type != InterfaceType::Parallel)
        return 0;
    portName_ = settings.portName;
    return 1;
}

int ParallelPort::Open()
{
    if (!device_)
        return 0;
    if (device_->IsOpen())
        return isOpen_ ? 1 : 0;

    const std::string path = names_.DevicePath(portName_);
    if (path.empty() || !device_->Open(path)) {
        lastError_ = path.empty() ? "no device file for " + portName_ : path + ": " + device_->LastError();
        return 0;
    }
    // Ready means selected and nothing else: busy, paper out, off line, powered
    // off or not connected all count as no printer.
    const auto status = device_->Status();
    if (!status || *status != kParallelSelected) {
        lastError_ = status ? "printer not ready, status " + std::to_string(*status)
                            : "printer status unknown: " + device_->LastError();
        device_->Close();
        return 0;
    }
    device_->Purge();
    isOpen_ = true;
    return 1;
}

int ParallelPort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!isOpen_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    return device_->Write(buffer, count,
                          TotalLimit(timeouts_.writeTotalConstant, timeouts_.writeTotalMultiplier, count));
}

int ParallelPort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t /*timeoutMs*/)
{
    // The settings' read limits end the read, not the caller's time-out.
    if (!isOpen_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    ReadLimits limits{
        .intervalMs = timeouts_.readInterval,
        .totalMs = TotalLimit(timeouts_.readTotalConstant, timeouts_.readTotalMultiplier, count),
    };
    if (limits.totalMs == 0)
        limits.totalMs = TotalLimit(kFallbackReadConstantMs, kFallbackReadPerByteMs, count);
    const int n = device_->Read(buffer, count, limits);
    return n < 0 ? -1 : n;
}

void ParallelPort::Close()
{
    if (device_)
        device_->Close();
    isOpen_ = false;
}

}  // namespace zorvik
