#pragma once
// The USB device layer on Linux: the device node found through sysfs, opened without
// blocking and locked for exclusive use; transfers bounded with poll; plug and unplug
// followed with inotify on the device-node folder and on the folder above it (the
// kernel removes an emptied /dev/usb and makes it again on the next arrival).
#include <cstdint>
#include <memory>
#include <string>

#include "link/UsbDevice.h"
#include "link/UsbDiscovery.h"
#include "link/UsbPort.h"
#include "link/posix/FdTransfer.h"

namespace zorvik {

class PosixUsbDevice final : public UsbDevice {
public:
    // A write that has not finished after this ends with the bytes that went out; the
    // largest write (a 4096-byte font block) needs a small part of it.
    static constexpr std::uint32_t kDefaultWriteLimitMs = 10000;

    explicit PosixUsbDevice(UsbEnv env, std::uint32_t writeLimitMs = kDefaultWriteLimitMs);
    ~PosixUsbDevice() override;
    PosixUsbDevice(const PosixUsbDevice&) = delete;
    PosixUsbDevice& operator=(const PosixUsbDevice&) = delete;

    bool Open(const std::string& devicePath) override;
    bool IsOpen() const override { return file_.IsOpen(); }
    void Close() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;

    bool StartWatch() override;
    void StopWatch() override;
    int WatchHandle() const override { return watchFd_; }
    void DrainEvents(const std::function<void(UsbDeviceEvent)>& handle) override;

    const char* LastError() const override { return lastError_.c_str(); }

    // The node the open device was reached by (empty when none).
    const std::string& Node() const { return node_; }

private:
    bool WatchFolder();
    bool OpenDeviceGone() const;
    void SetError(const std::string& what, int err);

    UsbEnv env_;
    std::uint32_t writeLimitMs_;
    posix::DeviceFile file_;
    std::string node_;
    std::string folder_;  // the folder the node sits in
    int watchFd_ = -1;
    int folderWatch_ = -1;
    int parentWatch_ = -1;
    std::string lastError_;
};

}  // namespace zorvik
