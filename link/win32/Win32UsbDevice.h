#pragma once
// The USB device layer on Windows: the device interface path opened for exclusive
// use, transfers bounded by waiting on overlapped I/O, and plug and unplug followed
// through device-change notifications to a hidden message-only window. Windows
// delivers those as window messages, not on a descriptor: the owner's event loop
// (or a call to DrainEvents between transfers) hands them on.
#include <windows.h>

#include <deque>
#include <string>

#include "link/UsbDevice.h"

namespace zorvik {

class Win32UsbDevice final : public UsbDevice {
public:
    // A write that has not finished after this ends with the bytes that went out.
    static constexpr std::uint32_t kWriteLimitMs = 10000;

    Win32UsbDevice() = default;
    ~Win32UsbDevice() override;
    Win32UsbDevice(const Win32UsbDevice&) = delete;
    Win32UsbDevice& operator=(const Win32UsbDevice&) = delete;

    bool Open(const std::string& devicePath) override;
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;

    bool StartWatch() override;
    void StopWatch() override;
    int WatchHandle() const override { return -1; }
    void DrainEvents(const std::function<void(UsbDeviceEvent)>& handle) override;

    const char* LastError() const override { return lastError_.c_str(); }

    // The window procedure's work for one WM_DEVICECHANGE: queues what it means and
    // returns the answer the system expects.
    LRESULT OnDeviceChange(WPARAM event, LPARAM record);

private:
    // Runs one overlapped transfer and waits for it at most ms; the bytes moved.
    int Transfer(bool write, std::uint8_t* buffer, std::uint32_t count, std::uint32_t ms);
    void RegisterHandle();
    void UnregisterHandle();
    bool Fail(DWORD error = GetLastError());

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HWND window_ = nullptr;
    HDEVNOTIFY handleNotification_ = nullptr;
    HDEVNOTIFY interfaceNotification_ = nullptr;
    std::deque<UsbDeviceEvent> events_;
    std::string lastError_;
};

}  // namespace zorvik
