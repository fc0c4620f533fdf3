// The parallel printer device on Windows: an LPT port and the parallel driver's
// one-byte printer status. The status bits are the ones ParallelDevice names.
#include <windows.h>

#include "link/ParallelDevice.h"
#include "link/win32/CommFile.h"

namespace zorvik {
namespace {

// IOCTL_PAR_QUERY_INFORMATION: CTL_CODE(FILE_DEVICE_PARALLEL_PORT, 1, METHOD_BUFFERED,
// FILE_ANY_ACCESS).
constexpr DWORD kIoctlParQueryInformation = 0x160004;

class Win32ParallelDevice final : public win32::CommBackedDevice<ParallelDevice> {
public:
    std::optional<std::uint8_t> Status() override
    {
        std::uint8_t status = 0;
        DWORD returned = 0;
        if (!DeviceIoControl(file_.Handle(), kIoctlParQueryInformation, nullptr, 0, &status, sizeof status,
                             &returned, nullptr)) {
            file_.Fail();
            return std::nullopt;
        }
        if (returned != sizeof status) {
            file_.Fail(ERROR_INVALID_DATA);
            return std::nullopt;
        }
        return status;
    }
    void Purge() override
    {
        file_.Purge();
        FlushFileBuffers(file_.Handle());
    }
};

}  // namespace

std::unique_ptr<ParallelDevice> MakeSystemParallelDevice()
{
    return std::make_unique<Win32ParallelDevice>();
}

}  // namespace zorvik
