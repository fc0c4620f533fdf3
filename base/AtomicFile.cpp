#include "base/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvik {
namespace {

void SetError(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error)
{
    std::string tmp = path + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        SetError(error, "cannot create a temporary file beside " + path);
        return false;
    }
    // Keep the permissions of the file being replaced, else the usual 0666 & ~umask.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    if (!ok)
        SetError(error, "cannot write " + tmp);
    if (ok && ::fsync(fd) != 0) {
        SetError(error, "cannot flush " + tmp);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        SetError(error, "cannot close " + tmp);
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        SetError(error, "cannot rename " + tmp + " to " + path);
        ok = false;
    }
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                                       std::string* error)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot open " + path);
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    for (;;) {
        std::size_t want = sizeof chunk;
        if (maxBytes > 0) {
            if (out.size() >= maxBytes)
                break;
            want = std::min(want, maxBytes - out.size());
        }
        ssize_t n = ::read(fd, chunk, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetError(error, "cannot read " + path);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.insert(out.end(), chunk, chunk + n);
    }
    ::close(fd);
    return out;
}

}  // namespace zorvik
