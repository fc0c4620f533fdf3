// The serial device on a POSIX system: a tty opened non-blocking, configured with
// termios, timed with poll.
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "link/SerialDevice.h"
#include "link/posix/FdTransfer.h"
#include "link/posix/SerialTermios.h"

namespace zorvik {
namespace {

class PosixSerialDevice final : public posix::FileBackedDevice<SerialDevice> {
public:
    // A terminal that was hung up (a pseudo-terminal whose other end closed, an
    // adapter that was unplugged) reads as the end of the input; a live line in raw
    // mode never reports input that is not there.
    PosixSerialDevice() : FileBackedDevice(true) {}
    ~PosixSerialDevice() override { PosixSerialDevice::Close(); }

    bool Open(const std::string& path) override
    {
        // The lock keeps out another instance of this program even as root;
        // TIOCEXCL keeps out other programs (root excepted).
        if (!file_.OpenExclusive(path))
            return false;
        if (!::isatty(file_.Fd())) {
            file_.Close();
            return file_.Fail(ENOTTY);
        }
        ::ioctl(file_.Fd(), TIOCEXCL);
        return true;
    }

    bool GetLine(SerialLine& line) override
    {
        termios t{};
        if (::tcgetattr(file_.Fd(), &t) != 0)
            return file_.Fail(errno);
        line = posix::LineOf(t);
        return true;
    }

    bool SetLine(const SerialLine& line) override
    {
        const int fd = file_.Fd();
        termios t{};
        if (::tcgetattr(fd, &t) != 0)
            return file_.Fail(errno);
        if (!posix::ApplyLine(line, t))
            return file_.Fail(EINVAL);
        if (::tcsetattr(fd, TCSANOW, &t) != 0)
            return file_.Fail(errno);
        // tcsetattr succeeds when any part was taken; a rate the driver refused
        // shows in the read-back. (Size and parity are not compared: a
        // pseudo-terminal always reads back 8 bits without parity.)
        termios back{};
        if (::tcgetattr(fd, &back) != 0)
            return file_.Fail(errno);
        if (cfgetospeed(&back) != cfgetospeed(&t))
            return file_.Fail(EINVAL);
        int lines = (line.raiseDtr ? TIOCM_DTR : 0) | (line.raiseRts ? TIOCM_RTS : 0);
        // A pseudo-terminal has no modem lines; that is not a failure.
        if (lines && ::ioctl(fd, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL)
            return file_.Fail(errno);
        return true;
    }

    ModemPresence Presence() override
    {
        int status = 0;
        if (::ioctl(file_.Fd(), TIOCMGET, &status) == 0)
            return (status & TIOCM_DSR) ? ModemPresence::DsrOn : ModemPresence::DsrOff;
        if (errno == EIO)
            return ModemPresence::DsrOff;  // the line was hung up
        if (errno != ENOTTY && errno != EINVAL) {
            file_.Fail(errno);
            return ModemPresence::Failed;
        }
        // A pseudo-terminal has no modem lines. Its other end being open stands in
        // for DSR: once that end closes, poll reports POLLHUP on this one (and reads
        // fail with EIO), so a zero-time poll tells the two apart.
        pollfd p{.fd = file_.Fd(), .events = POLLIN, .revents = 0};
        if (::poll(&p, 1, 0) < 0) {
            file_.Fail(errno);
            return ModemPresence::Failed;
        }
        return (p.revents & POLLHUP) ? ModemPresence::DsrOff : ModemPresence::DsrOn;
    }

    bool Purge() override { return ::tcflush(file_.Fd(), TCIOFLUSH) == 0 || file_.Fail(errno); }

    // The line is given back as it was found: not exclusive any more (another
    // program, or this one's next check, may open it again), and with unsent output
    // dropped, so a printer holding CTS low or having sent XOFF cannot hold the
    // close for the kernel's closing wait.
    void Close() override
    {
        if (file_.IsOpen()) {
            ::ioctl(file_.Fd(), TIOCNXCL);
            ::tcflush(file_.Fd(), TCOFLUSH);
        }
        file_.Close();
    }
};

}  // namespace

std::unique_ptr<SerialDevice> MakeSystemSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}

}  // namespace zorvik
