#include "link/posix/PosixUsbDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>

#include "link/UsbPort.h"
#include "link/posix/UsbSysfs.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

// Longest single wait of a read, whatever the caller asks for.
constexpr std::uint32_t kMaxReadWaitMs = 60000;
// Events handled per HandleDeviceChange; the rest stay queued and keep the handle readable.
constexpr int kMaxEventReads = 64;

constexpr std::uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kParentEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

// Waits up to ms for events on fd, restarting after signals with the time that is left.
int PollFor(int fd, short events, std::uint32_t ms)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::clamp<long long>(left, 0, INT_MAX)));
        if (r < 0 && errno == EINTR)
            continue;
        return r < 0 ? -1 : (r == 0 ? 0 : p.revents);
    }
}

}  // namespace

PosixUsbDevice::PosixUsbDevice(UsbEnv env, std::uint32_t writeStallMs)
    : env_(std::move(env)), writeStallMs_(writeStallMs)
{
}

PosixUsbDevice::~PosixUsbDevice()
{
    StopWatch();
    Close();
}

void PosixUsbDevice::SetError(const std::string& what, int err)
{
    lastError_ = what + ": " + std::strerror(err);
}

bool PosixUsbDevice::Open(const std::string& devicePath)
{
    Close();
    const auto node = ResolveUsbNode(env_, devicePath);
    if (!node) {
        lastError_ = "no device present for " + devicePath;
        return false;
    }
    const int fd = ::open(node->c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        SetError(*node, errno);
        return false;
    }
    // Exclusive use: a second program (or port) on the same printer is refused.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        SetError(*node, errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    node_ = *node;
    folder_ = fs::path(node_).parent_path().string();
    if (watchFd_ >= 0)
        WatchFolder();
    return true;
}

void PosixUsbDevice::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    node_.clear();
}

int PosixUsbDevice::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (fd_ < 0 || !buffer)
        return 0;
    std::uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, buffer + done, count - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            SetError(node_, errno);
            break;
        }
        // The printer takes no more for now: wait for room, but not for ever.
        const int ready = PollFor(fd_, POLLOUT, writeStallMs_);
        if (ready <= 0 || !(ready & POLLOUT)) {
            lastError_ = node_ + ": write stalled";
            break;
        }
    }
    return static_cast<int>(done);
}

int PosixUsbDevice::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    if (fd_ < 0 || !buffer || count == 0)
        return 0;
    const int ready = PollFor(fd_, POLLIN, std::min(timeoutMs, kMaxReadWaitMs));
    if (ready <= 0)
        return 0;  // silent: nothing within the time limit
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            SetError(node_, errno);
        return n > 0 ? static_cast<int>(n) : 0;
    }
}

bool PosixUsbDevice::WatchFolder()
{
    if (watchFd_ < 0 || folder_.empty())
        return false;
    // Adding a watch that exists already just returns it.
    folderWatch_ = ::inotify_add_watch(watchFd_, folder_.c_str(), kFolderEvents);
    return folderWatch_ >= 0;
}

bool PosixUsbDevice::StartWatch()
{
    StopWatch();
    if (fd_ < 0 || folder_.empty()) {
        lastError_ = "no open device to follow";
        return false;
    }
    watchFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd_ < 0) {
        SetError("inotify", errno);
        return false;
    }
    const std::string parent = fs::path(folder_).parent_path().string();
    if (!WatchFolder() ||
        (parent != folder_ && (parentWatch_ = ::inotify_add_watch(watchFd_, parent.c_str(), kParentEvents)) < 0)) {
        SetError("inotify " + folder_, errno);
        StopWatch();
        return false;
    }
    return true;
}

void PosixUsbDevice::StopWatch()
{
    if (watchFd_ >= 0)
        ::close(watchFd_);  // drops every watch with it
    watchFd_ = -1;
    folderWatch_ = -1;
    parentWatch_ = -1;
}

bool PosixUsbDevice::OpenDeviceGone() const
{
    if (fd_ < 0)
        return false;
    struct stat byPath {};
    struct stat open {};
    if (::stat(node_.c_str(), &byPath) != 0 || ::fstat(fd_, &open) != 0)
        return true;
    // A node of the same name may already belong to a newly arrived device.
    return byPath.st_dev != open.st_dev || byPath.st_ino != open.st_ino || byPath.st_rdev != open.st_rdev;
}

void PosixUsbDevice::DrainEvents(const std::function<void(UsbDeviceEvent)>& handle)
{
    alignas(inotify_event) char buffer[4096];
    const std::string folderName = fs::path(folder_).filename().string();
    for (int reads = 0; reads < kMaxEventReads && watchFd_ >= 0; ++reads) {
        const ssize_t n = ::read(watchFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // nothing more queued
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len ? std::string(event->name) : std::string();
            // The node folder came back (the first device in it arrived): follow it again.
            if (event->wd == parentWatch_ && name == folderName && (event->mask & (IN_CREATE | IN_MOVED_TO)))
                WatchFolder();
            handle(OpenDeviceGone() ? UsbDeviceEvent::OpenDeviceRemoved : UsbDeviceEvent::Other);
            if (watchFd_ < 0)
                return;
        }
    }
}

std::unique_ptr<UsbPort> MakeSystemUsbPort(const UsbEnv& env)
{
    return std::make_unique<UsbPort>(std::make_unique<PosixUsbDevice>(env));
}

}  // namespace zorvik
