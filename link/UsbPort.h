#pragma once
// The printer on USB: a device path found by discovery, opened for exclusive use at
// each Open, with plug and unplug followed through the device watcher. Device changes
// are handled on the thread that uses the port, between transfers, so it holds no lock.
#include <memory>
#include <string>

#include "link/Port.h"
#include "link/UsbDevice.h"
#include "link/UsbDiscovery.h"

namespace zorvik {

class UsbPort final : public Port {
public:
    explicit UsbPort(std::unique_ptr<UsbDevice> device);
    ~UsbPort() override;

    int Configure(const PortSettings& settings) override;
    int Open() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;
    void Close() override;

    // Readable when device changes wait; the owner then calls HandleDeviceChange,
    // between transfers. HandleDeviceChange handles every queued change and returns
    // without blocking, so tests can call it directly.
    int DeviceEventHandle() const override;
    void HandleDeviceChange() override;
    const char* LastError() const override { return device_->LastError(); }

    // 0 before the first Open, 1 while the device is present and open, -1 after the
    // open device was removed (until it is back and reopened).
    int DeviceState() const { return deviceState_; }
    bool IsOpen() const { return isOpen_; }
    const std::string& DevicePath() const { return devicePath_; }

private:
    bool OpenDevice();
    void CloseDevice();
    void OnDeviceEvent(UsbDeviceEvent event);

    std::unique_ptr<UsbDevice> device_;
    std::string devicePath_;
    bool isOpen_ = false;
    int deviceState_ = 0;
};

// A UsbPort on this system's device layer (Linux finds its device under env).
std::unique_ptr<UsbPort> MakeSystemUsbPort(const UsbEnv& env = {});

}  // namespace zorvik
