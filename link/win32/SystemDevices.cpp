#include "link/SystemDevices.h"

#include <windows.h>

#include "link/DeviceNames.h"

namespace zorvik {
namespace {

// Every name the system's device namespace holds ("COM3", "LPT1", "C:", ...). The
// system has no folder to look in for them; sysfsRoot and devRoot have no meaning here.
std::vector<std::string> DosDeviceNames()
{
    std::vector<char> buffer(16 * 1024);
    for (;;) {
        const DWORD length = ::QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length != 0) {
            std::vector<std::string> names;
            for (const char* p = buffer.data(); p < buffer.data() + length && *p != '\0';
                 p += std::char_traits<char>::length(p) + 1)
                names.emplace_back(p);
            return names;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= (std::size_t{16} << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::vector<std::string> ListSerialDevices(const std::filesystem::path&, const std::filesystem::path&)
{
    return PortsAmongDeviceNames(DosDeviceNames()).serial;
}

std::vector<std::string> ListParallelDevices(const std::filesystem::path&)
{
    return PortsAmongDeviceNames(DosDeviceNames()).parallel;
}

}  // namespace zorvik
