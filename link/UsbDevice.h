#pragma once
// The thin OS layer under UsbPort: one device node opened for exclusive use, and a
// watcher that reports changes in the folder of device nodes. The port's own logic
// (guards, the lock, removal and reopening) sits in UsbPort and is tested over a fake.
#include <cstdint>
#include <functional>
#include <string>

namespace zorvik {

enum class UsbDeviceEvent {
    OpenDeviceRemoved,  // the node of the open device is gone or now names another device
    Other,              // anything else: an arrival, a permission change, another device
};

class UsbDevice {
public:
    virtual ~UsbDevice() = default;

    // Finds the current device node of devicePath and opens it for exclusive use.
    virtual bool Open(const std::string& devicePath) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Both calls return within a bound. Write: bytes moved, 0 when none could be.
    virtual int Write(const std::uint8_t* buffer, std::uint32_t count) = 0;
    // Bytes read; 0 when nothing came within timeoutMs; -1 when the device is gone
    // (unplugged: its node removed or taken by another device, or the driver says so).
    virtual int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) = 0;

    // Starts following the device-node folder of the open device; false when that
    // cannot be set up.
    virtual bool StartWatch() = 0;
    virtual void StopWatch() = 0;
    // Pollable descriptor that turns readable when events wait; -1 when not watching.
    virtual int WatchHandle() const = 0;
    // Hands every queued event to handle, oldest first, without blocking. Each event is
    // classified just before it is handed on, against the device open at that moment.
    virtual void DrainEvents(const std::function<void(UsbDeviceEvent)>& handle) = 0;

    virtual const char* LastError() const = 0;
};

}  // namespace zorvik
