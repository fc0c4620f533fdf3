#include "link/posix/FdTransfer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvik::posix {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Milliseconds from now until `when`, rounded up so a wait never ends early; 0 when past.
// A wait longer than poll takes at once is made in several.
int MsUntil(Clock::time_point when)
{
    const auto left = when - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    return static_cast<int>(std::min<long long>(std::chrono::ceil<milliseconds>(left).count(), INT_MAX));
}

// Some drivers (the parallel printer driver among them) have no poll support and
// always report ready; a refused transfer then waits this long before retrying
// instead of spinning.
constexpr int kRetryPauseMs = 1;

}  // namespace

int PollFor(int fd, short events, std::uint32_t ms)
{
    const auto end = Clock::now() + milliseconds(ms);
    for (;;) {
        pollfd p{.fd = fd, .events = events, .revents = 0};
        const int ready = ::poll(&p, 1, MsUntil(end));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready < 0 ? -1 : (ready == 0 ? 0 : p.revents);
    }
}

int ReadWithLimits(int fd, std::uint8_t* buffer, std::uint32_t count, ReadLimits limits, ReadEnd& end)
{
    end = {};
    const auto deadline = Clock::now() + milliseconds(limits.totalMs);
    auto silenceEnds = deadline;
    std::uint32_t got = 0;
    while (got < count) {
        int wait = MsUntil(deadline);
        if (got > 0 && limits.intervalMs > 0)
            wait = std::min(wait, MsUntil(silenceEnds));
        if (wait == 0)
            break;
        const int ready = PollFor(fd, POLLIN, static_cast<std::uint32_t>(wait));
        if (ready < 0) {
            end.error = errno;
            break;
        }
        if (ready == 0)
            continue;  // the loop head decides whether a limit has passed
        // Input still waiting is read first, even from a side that hung up.
        const bool hangUp = (ready & POLLHUP) != 0;
        if (!(ready & POLLIN)) {
            end.error = (ready & POLLNVAL) ? EBADF : EIO;  // hung up or failed
            end.hangUp = hangUp;
            break;
        }
        const ssize_t n = ::read(fd, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<std::uint32_t>(n);
            silenceEnds = Clock::now() + milliseconds(limits.intervalMs);
            continue;
        }
        if (n == 0) {
            end.endOfFile = true;  // a terminal after a hang-up, or a driver with nothing
            end.hangUp = hangUp;
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            ::poll(nullptr, 0, kRetryPauseMs);
            continue;
        }
        end.error = errno;  // EIO: a line hung up; ENODEV, ENXIO: the device vanished
        break;
    }
    return static_cast<int>(got);
}

bool IsGoneError(int error)
{
    return error == EIO || error == ENODEV || error == ENXIO;
}

int WriteWithLimit(int fd, const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs, int& error)
{
    error = 0;
    const auto deadline = Clock::now() + milliseconds(totalMs);
    std::uint32_t sent = 0;
    bool polledReady = false;
    while (sent < count) {
        const ssize_t n = ::write(fd, buffer + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::uint32_t>(n);
            polledReady = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            break;
        }
        const int wait = MsUntil(deadline);
        if (wait == 0) {
            error = ETIMEDOUT;
            break;
        }
        if (polledReady)
            ::poll(nullptr, 0, kRetryPauseMs);  // reported ready yet refused: do not spin
        const int ready = PollFor(fd, POLLOUT, static_cast<std::uint32_t>(wait));
        if (ready < 0) {
            error = errno;
            break;
        }
        if (ready > 0 && (ready & (POLLERR | POLLHUP | POLLNVAL)) && !(ready & POLLOUT)) {
            error = EIO;
            break;
        }
        polledReady = ready > 0;
    }
    return static_cast<int>(sent);
}

std::string ErrorText(int error)
{
    return error ? std::strerror(error) : "";
}

const char DeviceFile::kNotADevice[] = "not a device (an ordinary file, a folder or a pipe)";

bool DeviceFile::OpenExclusive(const std::string& path)
{
    if (!Adopt(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)))
        return false;
    // Only a device: an ordinary file, a folder or a pipe named as a port must never
    // receive printer commands.
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int error = errno;
        Close();
        return Fail(error);
    }
    if (!S_ISCHR(info.st_mode)) {
        Close();
        lastError_ = kNotADevice;
        return false;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        Close();
        return Fail(EBUSY);
    }
    return true;
}

bool DeviceFile::Adopt(int fd)
{
    Close();
    if (fd < 0)
        return Fail(errno);
    fd_ = fd;
    return true;
}

void DeviceFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    gone_ = false;
}

int DeviceFile::Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits, bool endOfFileIsGone)
{
    if (fd_ < 0)
        return 0;
    if (gone_)
        return -1;  // found gone by an earlier read: no waiting out the limits again
    ReadEnd end;
    const int n = ReadWithLimits(fd_, buffer, count, limits, end);
    if (end.error)
        Fail(end.error);
    // A parallel printer driver also answers EIO when the printer has no way back to
    // the computer; only a line (a terminal) takes EIO for gone.
    const bool goneError = IsGoneError(end.error) && (endOfFileIsGone || end.error != EIO);
    gone_ = end.hangUp || goneError || (end.endOfFile && endOfFileIsGone);
    if (gone_ && !end.error)
        Fail(EIO);  // the end of the input of a line that hung up
    return n > 0 || !gone_ ? n : -1;
}

int DeviceFile::Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs)
{
    if (fd_ < 0)
        return 0;
    int error = 0;
    const int n = WriteWithLimit(fd_, buffer, count, totalMs, error);
    if (error)
        Fail(error);
    return n;
}

bool DeviceFile::Fail(int error)
{
    lastError_ = ErrorText(error);
    return false;
}

}  // namespace zorvik::posix
