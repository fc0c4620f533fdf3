// The serial device on a POSIX system: a tty opened non-blocking, configured with
// termios, timed with poll.
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "link/SerialDevice.h"
#include "link/posix/FdTransfer.h"
#include "link/posix/SerialTermios.h"

namespace zorvik {
namespace {

class PosixSerialDevice final : public SerialDevice {
public:
    ~PosixSerialDevice() override { Close(); }

    bool Open(const std::string& path) override
    {
        Close();
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return Failed(errno);
        if (!::isatty(fd_))
            return FailedAndClose(ENOTTY);
        // TIOCEXCL keeps other programs out (root excepted); the lock also keeps
        // out another instance of this program running as root.
        if (!posix::LockExclusive(fd_))
            return FailedAndClose(EBUSY);
        ::ioctl(fd_, TIOCEXCL);
        return true;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    bool GetLine(SerialLine& line) override
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0)
            return Failed(errno);
        line = posix::LineOf(t);
        return true;
    }

    bool SetLine(const SerialLine& line) override
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0)
            return Failed(errno);
        if (!posix::ApplyLine(line, t))
            return Failed(EINVAL);
        if (::tcsetattr(fd_, TCSANOW, &t) != 0)
            return Failed(errno);
        // tcsetattr succeeds when any part was taken; a rate the driver refused
        // shows in the read-back. (Size and parity are not compared: a
        // pseudo-terminal always reads back 8 bits without parity.)
        termios back{};
        if (::tcgetattr(fd_, &back) != 0)
            return Failed(errno);
        if (cfgetospeed(&back) != cfgetospeed(&t))
            return Failed(EINVAL);
        int lines = (line.raiseDtr ? TIOCM_DTR : 0) | (line.raiseRts ? TIOCM_RTS : 0);
        // A pseudo-terminal has no modem lines; that is not a failure.
        if (lines && ::ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL)
            return Failed(errno);
        return true;
    }

    ModemPresence Presence() override
    {
        int status = 0;
        if (::ioctl(fd_, TIOCMGET, &status) == 0)
            return (status & TIOCM_DSR) ? ModemPresence::DsrOn : ModemPresence::DsrOff;
        if (errno == EIO)
            return ModemPresence::DsrOff;   // the line was hung up
        if (errno != ENOTTY && errno != EINVAL) {
            Failed(errno);
            return ModemPresence::Failed;
        }
        // A pseudo-terminal has no modem lines. Its other end being open stands in
        // for DSR: once that end closes, poll reports POLLHUP on this one (and reads
        // fail with EIO), so a zero-time poll tells the two apart.
        pollfd p{.fd = fd_, .events = POLLIN, .revents = 0};
        if (::poll(&p, 1, 0) < 0) {
            Failed(errno);
            return ModemPresence::Failed;
        }
        return (p.revents & POLLHUP) ? ModemPresence::DsrOff : ModemPresence::DsrOn;
    }

    bool Purge() override { return ::tcflush(fd_, TCIOFLUSH) == 0 || Failed(errno); }

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
    bool FailedAndClose(int error)
    {
        Close();
        return Failed(error);
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

std::unique_ptr<SerialDevice> MakeSystemSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}

}  // namespace zorvik
