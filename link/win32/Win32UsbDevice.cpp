#include "link/win32/Win32UsbDevice.h"

#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

#include "link/UsbPort.h"
#include "link/win32/CommFile.h"

namespace zorvik {
namespace {

constexpr char kWindowClass[] = "ZorvikUsbPnpWindow";
constexpr char kWindowName[] = "USBPNPWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE) {
        if (auto* device = reinterpret_cast<Win32UsbDevice*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            return device->OnDeviceChange(wParam, lParam);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool ClassRegistered()
{
    static const bool registered = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = WindowProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = kWindowClass;
        return RegisterClassA(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

Win32UsbDevice::~Win32UsbDevice()
{
    StopWatch();
    Close();
}

bool Win32UsbDevice::Open(const std::string& devicePath)
{
    Close();
    handle_ = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        return Fail();
    if (window_)
        RegisterHandle();
    return true;
}

void Win32UsbDevice::Close()
{
    UnregisterHandle();
    if (handle_ != INVALID_HANDLE_VALUE) {
        CancelIo(handle_);
        CloseHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
}

int Win32UsbDevice::Transfer(bool write, std::uint8_t* buffer, std::uint32_t count, std::uint32_t ms)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return 0;
    OVERLAPPED o{};
    o.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!o.hEvent)
        return Fail(), 0;
    const BOOL done = write ? WriteFile(handle_, buffer, count, nullptr, &o)
                            : ReadFile(handle_, buffer, count, nullptr, &o);
    DWORD moved = 0;
    int result = 0;
    if (!done && GetLastError() != ERROR_IO_PENDING) {
        const DWORD error = GetLastError();
        Fail(error);
        result = error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEVICE_REMOVED ? -1 : 0;
    } else {
        if (WaitForSingleObject(o.hEvent, ms) != WAIT_OBJECT_0)
            CancelIo(handle_);
        // After a cancel this waits for the transfer to end, which it does at once.
        if (GetOverlappedResult(handle_, &o, &moved, TRUE))
            result = static_cast<int>(moved);
        else if (GetLastError() == ERROR_OPERATION_ABORTED)
            result = static_cast<int>(moved);
        else
            result = (Fail(), moved > 0 ? static_cast<int>(moved) : (write ? 0 : -1));
    }
    CloseHandle(o.hEvent);
    return result;
}

int Win32UsbDevice::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    return std::max(0, Transfer(true, const_cast<std::uint8_t*>(buffer), count, kWriteLimitMs));
}

int Win32UsbDevice::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    return Transfer(false, buffer, count, timeoutMs);
}

bool Win32UsbDevice::StartWatch()
{
    if (window_)
        return true;
    if (!ClassRegistered())
        return Fail();
    window_ = CreateWindowExA(0, kWindowClass, kWindowName, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_)
        return Fail();
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    interfaceNotification_ = RegisterDeviceNotificationA(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!interfaceNotification_) {
        Fail();
        StopWatch();
        return false;
    }
    RegisterHandle();
    return true;
}

void Win32UsbDevice::StopWatch()
{
    UnregisterHandle();
    if (interfaceNotification_)
        UnregisterDeviceNotification(interfaceNotification_);
    interfaceNotification_ = nullptr;
    if (window_)
        DestroyWindow(window_);
    window_ = nullptr;
    events_.clear();
}

void Win32UsbDevice::RegisterHandle()
{
    UnregisterHandle();
    if (!window_ || handle_ == INVALID_HANDLE_VALUE)
        return;
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = handle_;
    // A failed registration only means the class-wide notices must do.
    handleNotification_ = RegisterDeviceNotificationA(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void Win32UsbDevice::UnregisterHandle()
{
    if (handleNotification_)
        UnregisterDeviceNotification(handleNotification_);
    handleNotification_ = nullptr;
}

LRESULT Win32UsbDevice::OnDeviceChange(WPARAM event, LPARAM record)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (!header) {
        events_.push_back(UsbDeviceEvent::Other);
        return TRUE;
    }
    if (header->dbch_devicetype == DBT_DEVTYP_HANDLE) {
        const auto* h = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(record);
        if (handle_ != INVALID_HANDLE_VALUE && h->dbch_handle == handle_) {
            // The port holds the printer open: it may not be taken away under it.
            if (event == DBT_DEVICEQUERYREMOVE)
                return BROADCAST_QUERY_DENY;
            if (event == DBT_DEVICEREMOVEPENDING || event == DBT_DEVICEREMOVECOMPLETE) {
                events_.push_back(UsbDeviceEvent::OpenDeviceRemoved);
                return TRUE;
            }
        }
    }
    events_.push_back(UsbDeviceEvent::Other);
    return TRUE;
}

void Win32UsbDevice::DrainEvents(const std::function<void(UsbDeviceEvent)>& handle)
{
    MSG message;
    while (window_ && PeekMessageA(&message, window_, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    while (!events_.empty()) {
        const UsbDeviceEvent event = events_.front();
        events_.pop_front();
        handle(event);
    }
}

bool Win32UsbDevice::Fail(DWORD error)
{
    lastError_ = win32::ErrorText(error);
    return false;
}

std::unique_ptr<UsbPort> MakeSystemUsbPort(const UsbEnv& /*env*/)
{
    return std::make_unique<UsbPort>(std::make_unique<Win32UsbDevice>());
}

}  // namespace zorvik
