// The parallel printer device on Linux: /dev/lpN through the lp driver.
#include <cerrno>
#include <linux/lp.h>
#include <sys/ioctl.h>

#include "link/ParallelDevice.h"
#include "link/posix/FdTransfer.h"
#include "link/posix/LpStatus.h"

namespace zorvik {
namespace {

class PosixParallelDevice final : public posix::FileBackedDevice<ParallelDevice> {
public:
    // Only a hang-up or a vanished device ends the connection; a driver that reads
    // nothing back (no reverse channel) is a printer that says nothing.
    PosixParallelDevice() : FileBackedDevice(false) {}

    bool Open(const std::string& path) override { return file_.OpenExclusive(path); }
    std::optional<std::uint8_t> Status() override
    {
        int status = 0;
        if (::ioctl(file_.Fd(), LPGETSTATUS, &status) != 0) {
            file_.Fail(errno);
            return std::nullopt;
        }
        return posix::ParallelStatusFromLp(status);
    }

    // The lp driver keeps no buffers of its own to drop.
    void Purge() override {}
};

}  // namespace

std::unique_ptr<ParallelDevice> MakeSystemParallelDevice()
{
    return std::make_unique<PosixParallelDevice>();
}

}  // namespace zorvik
