// The parallel printer device on Linux: /dev/lpN through the lp driver.
#include <cerrno>
#include <fcntl.h>
#include <linux/lp.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "link/ParallelDevice.h"
#include "link/posix/FdTransfer.h"
#include "link/posix/LpStatus.h"

namespace zorvik {
namespace {

class PosixParallelDevice final : public ParallelDevice {
public:
    ~PosixParallelDevice() override { Close(); }

    bool Open(const std::string& path) override
    {
        Close();
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return Failed(errno);
        if (!posix::LockExclusive(fd_)) {
            Close();
            return Failed(EBUSY);
        }
        return true;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    std::optional<std::uint8_t> Status() override
    {
        int status = 0;
        if (::ioctl(fd_, LPGETSTATUS, &status) != 0) {
            Failed(errno);
            return std::nullopt;
        }
        return posix::ParallelStatusFromLp(status);
    }

    // The lp driver keeps no buffers of its own to drop.
    void Purge() override {}

    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits) override
    {
        if (fd_ < 0)
            return 0;
        int error = 0;
        const int n = posix::ReadWithLimits(fd_, buffer, count, limits, error);
        Note(error);
        return n;
    }

    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs) override
    {
        if (fd_ < 0)
            return 0;
        int error = 0;
        const int n = posix::WriteWithLimit(fd_, buffer, count, totalMs, error);
        Note(error);
        return n;
    }

    void Close() override
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    const std::string& LastError() const override { return lastError_; }

private:
    bool Failed(int error)
    {
        lastError_ = posix::ErrorText(error);
        return false;
    }
    void Note(int error)
    {
        if (error)
            lastError_ = posix::ErrorText(error);
    }

    int fd_ = -1;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<ParallelDevice> MakeSystemParallelDevice()
{
    return std::make_unique<PosixParallelDevice>();
}

}  // namespace zorvik
