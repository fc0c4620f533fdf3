// USB discovery on Windows: the present interfaces of the USB device class through
// SetupDi, walked by WalkUsbInterfaces.
#include <windows.h>

#include <initguid.h>
#include <setupapi.h>
#include <usbiodef.h>

#include <vector>

#include "link/SetupDiInterfaceList.h"
#include "link/UsbDiscovery.h"

namespace zorvik {
namespace {

class SystemSetupDiCalls final : public SetupDiCalls {
public:
    explicit SystemSetupDiCalls(HDEVINFO list) : list_(list) {}

    bool EnumInterface(std::size_t index, std::uint32_t& error) override
    {
        interface_ = SP_DEVICE_INTERFACE_DATA{};
        interface_.cbSize = sizeof interface_;
        if (SetupDiEnumDeviceInterfaces(list_, nullptr, &GUID_DEVINTERFACE_USB_DEVICE,
                                        static_cast<DWORD>(index), &interface_))
            return true;
        error = GetLastError();
        return false;
    }

    std::optional<std::string> DetailPath() override
    {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(list_, &interface_, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
            return std::nullopt;
        std::vector<std::uint8_t> storage(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(list_, &interface_, detail, size, nullptr, nullptr))
            return std::nullopt;
        return std::string(detail->DevicePath);
    }

    bool OpenShared(const std::string& path) override
    {
        const HANDLE probe =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(probe);
        return true;
    }

private:
    HDEVINFO list_;
    SP_DEVICE_INTERFACE_DATA interface_{};
};

}  // namespace

std::vector<std::string> DiscoverUsbPrinters(const UsbEnv& /*env*/, std::ostream& out)
{
    const HDEVINFO list = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE)
        return {};
    SystemSetupDiCalls calls(list);
    SetupDiInterfaceList interfaces(calls);
    auto entries = WalkUsbInterfaces(interfaces, out);
    SetupDiDestroyDeviceInfoList(list);
    return entries;
}

}  // namespace zorvik
