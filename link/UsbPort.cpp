#include "link/UsbPort.h"

namespace zorvik {

UsbPort::UsbPort(std::unique_ptr<UsbDevice> device) : device_(std::move(device)) {}

UsbPort::~UsbPort()
{
    device_->StopWatch();
    device_->Close();
}

int UsbPort::Configure(const PortSettings& settings)
{
    if (settings.portName.empty())
        return 0;
    devicePath_ = settings.portName;
    return 1;
}

bool UsbPort::OpenDevice()
{
    CloseDevice();
    return device_->Open(devicePath_);
}

void UsbPort::CloseDevice()
{
    device_->Close();
}

int UsbPort::Open()
{
    if (device_->IsOpen())
        return isOpen_ ? 1 : 0;
    if (isOpen_) {
        // Opened before and the printer is away: the watcher is already there, so only
        // try the device again.
        if (!OpenDevice())
            return 0;
        deviceState_ = 1;
        return 1;
    }
    if (!OpenDevice())
        return 0;
    if (!device_->StartWatch()) {
        // Without the watcher an unplug would go unnoticed: refuse, and leave nothing behind.
        device_->StopWatch();
        CloseDevice();
        return 0;
    }
    isOpen_ = true;
    deviceState_ = 1;
    return 1;
}

int UsbPort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!isOpen_ || !buffer || count == 0 || !device_->IsOpen())
        return 0;
    return device_->Write(buffer, count);
}

int UsbPort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    if (!isOpen_ || !buffer || count == 0)
        return 0;
    // Unplugged while open and not back yet: the printer is gone, not silent.
    if (deviceState_ == -1)
        return -1;
    if (!device_->IsOpen())
        return 0;
    // The caller's time limit is honoured: a printer that never answers must not hang
    // the window thread.
    const int n = device_->Read(buffer, count, timeoutMs);
    return n < 0 ? -1 : n;
}

void UsbPort::Close()
{
    device_->StopWatch();
    CloseDevice();
    isOpen_ = false;
}

int UsbPort::DeviceEventHandle() const
{
    return device_->WatchHandle();
}

void UsbPort::HandleDeviceChange()
{
    device_->DrainEvents([this](UsbDeviceEvent event) { OnDeviceEvent(event); });
}

void UsbPort::OnDeviceEvent(UsbDeviceEvent event)
{
    // Any change while the printer is away is a chance that it is back: reopen the same
    // path. A failed reopen keeps the state at -1 so the next change tries again.
    if (deviceState_ == -1 && OpenDevice())
        deviceState_ = 1;
    if (event == UsbDeviceEvent::OpenDeviceRemoved) {
        // Linux asks nobody before a USB device goes away, so there is no removal
        // request to refuse here: the device is already gone when this is seen.
        if (isOpen_)
            CloseDevice();
        deviceState_ = -1;
    }
}

}  // namespace zorvik
