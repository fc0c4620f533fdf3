#include "link/posix/PosixUsbDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "link/UsbPort.h"
#include "link/posix/FdTransfer.h"
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

}  // namespace

PosixUsbDevice::PosixUsbDevice(UsbEnv env, std::uint32_t writeLimitMs)
    : env_(std::move(env)), writeLimitMs_(writeLimitMs)
{
}

PosixUsbDevice::~PosixUsbDevice()
{
    StopWatch();
    Close();
}

void PosixUsbDevice::SetError(const std::string& what, int err)
{
    lastError_ = what + ": " + posix::ErrorText(err);
}

bool PosixUsbDevice::Open(const std::string& devicePath)
{
    Close();
    const auto node = ResolveUsbNode(env_, devicePath);
    if (!node) {
        lastError_ = "no device present for " + devicePath;
        return false;
    }
    // Exclusive use: a second program (or port) on the same printer is refused.
    if (!file_.OpenExclusive(*node)) {
        lastError_ = *node + ": " + file_.LastError();
        return false;
    }
    node_ = *node;
    folder_ = fs::path(node_).parent_path().string();
    if (watchFd_ >= 0)
        WatchFolder();
    return true;
}

void PosixUsbDevice::Close()
{
    file_.Close();
    node_.clear();
}

int PosixUsbDevice::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!buffer)
        return 0;
    // A printer that takes nothing (paper out, cover open) must not hold the program.
    const int sent = file_.Write(buffer, count, writeLimitMs_);
    if (sent < static_cast<int>(count))
        lastError_ = node_ + ": " + file_.LastError();
    return sent;
}

int PosixUsbDevice::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    if (!file_.IsOpen() || !buffer || count == 0)
        return 0;
    // Unplugged, whether or not the watcher's event has been handled yet.
    if (OpenDeviceGone()) {
        SetError(node_, ENODEV);
        return -1;
    }
    const int ready = posix::PollFor(file_.Fd(), POLLIN, std::min(timeoutMs, kMaxReadWaitMs));
    if (ready < 0)
        SetError(node_, errno);
    if (ready <= 0)
        return 0;  // silent: nothing within the time limit
    const bool hangUp = (ready & POLLHUP) != 0;
    if (!(ready & POLLIN)) {
        SetError(node_, (ready & POLLNVAL) ? EBADF : EIO);
        return (ready & POLLNVAL) ? 0 : -1;  // hung up or failed
    }
    for (;;) {
        const ssize_t n = ::read(file_.Fd(), buffer, count);
        if (n > 0)
            return static_cast<int>(n);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        // The driver ends the input of a removed printer with ENODEV; an empty packet
        // from a printer that is there reads as 0 bytes.
        const int error = n < 0 ? errno : (hangUp ? EIO : 0);
        if (error)
            SetError(node_, error);
        return hangUp || posix::IsGoneError(error) ? -1 : 0;
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
    if (!file_.IsOpen() || folder_.empty()) {
        lastError_ = "no open device to follow";
        return false;
    }
    watchFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd_ < 0) {
        SetError("inotify", errno);
        return false;
    }
    const std::string parent = fs::path(folder_).parent_path().string();
    if (!WatchFolder() || (parent != folder_ && (parentWatch_ = ::inotify_add_watch(watchFd_, parent.c_str(),
                                                                                    kParentEvents)) < 0)) {
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
    if (!file_.IsOpen())
        return false;
    struct stat byPath {};
    struct stat open {};
    if (::stat(node_.c_str(), &byPath) != 0 || ::fstat(file_.Fd(), &open) != 0)
        return true;
    // A node of the same name may already belong to a newly arrived device: the kernel
    // makes every node anew, so it is another file. (The device numbers are not
    // compared: a node reached through a link may report the numbers of the link's
    // device rather than those of the file it leads to.)
    return byPath.st_dev != open.st_dev || byPath.st_ino != open.st_ino;
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
