#include "base/BoundedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "resources/CommonTexts.h"

namespace zorvik {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
#if defined(_WIN32)
// Bytes as they are: no text-mode translation. Windows opens no device by name here
// (the regular-file test comes first) and has no terminals to take over.
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

FileRead Failed(FileReadFailure failure, int error, std::string reason)
{
    FileRead read;
    read.failure = failure;
    read.error = error;
    read.reason = std::move(reason);
    return read;
}

FileRead SystemFailure(FileReadFailure failure)
{
    const int error = errno;
    return Failed(failure, error, std::strerror(error));
}

// Refuses what the descriptor or path does not show to be a regular file within the limit.
std::optional<FileRead> Refusal(const struct stat& st, std::size_t limit)
{
    if (!S_ISREG(st.st_mode))
        return Failed(FileReadFailure::NotRegular, 0, kReasonNotRegularFile);
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return Failed(FileReadFailure::TooLarge, 0, kReasonLargerThan + SizeText(limit));
    return std::nullopt;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileRead ReadBoundedFile(const std::string& path, std::size_t limit)
{
    // A look before opening keeps devices closed: opening some of them (a serial line,
    // a tape) already does something. The descriptor is checked again below, as the
    // path may change in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return SystemFailure(FileReadFailure::CantOpen);
    if (auto refused = Refusal(st, limit))
        return *refused;

    const Descriptor fd(::open(path.c_str(), kOpenFlags));
    if (fd.Get() < 0)
        return SystemFailure(FileReadFailure::CantOpen);
    if (::fstat(fd.Get(), &st) != 0)
        return SystemFailure(FileReadFailure::CantRead);
    if (auto refused = Refusal(st, limit))
        return *refused;

    // One byte past the limit tells a file that grew while it was read.
    const std::size_t most = limit + 1;
    FileRead read;
    read.bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), limit) + 1);
    while (read.bytes.size() < most) {
        const std::size_t have = read.bytes.size();
        read.bytes.resize(have + std::min(kChunkBytes, most - have));
        const ssize_t n = ::read(fd.Get(), read.bytes.data() + have, read.bytes.size() - have);
        read.bytes.resize(have + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SystemFailure(FileReadFailure::CantRead);
        if (n == 0)
            return read;
    }
    return Failed(FileReadFailure::TooLarge, 0, kReasonLargerThan + SizeText(limit));
}

std::string FileReadMessage(FileReadFailure failure, const std::string& path, const std::string& reason)
{
    if (failure == FileReadFailure::None)
        return {};
    std::string message = (failure == FileReadFailure::CantOpen ? kMsgCantOpenFile : kMsgCantReadFile) + path;
    if (!reason.empty())
        message += " (" + reason + ")";
    return message;
}

std::string SizeText(std::size_t bytes)
{
    constexpr std::size_t kKiB = 1024;
    constexpr std::size_t kMiB = kKiB * kKiB;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    if (bytes >= kKiB && bytes % kKiB == 0)
        return std::to_string(bytes / kKiB) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace zorvik
