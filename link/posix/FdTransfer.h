#pragma once
// Bounded reads and writes on a non-blocking file descriptor, shared by the
// serial and parallel devices. Each call returns the bytes moved and never waits
// past its limit, whatever the device does.
#include <cstdint>
#include <string>

#include "link/SerialDevice.h"

namespace zorvik::posix {

// How a bounded read ended, besides the bytes it brought.
struct ReadEnd {
    int error = 0;           // errno of a failure (EIO when poll reported one), else 0
    bool hangUp = false;     // poll reported the other side hung up (POLLHUP)
    bool endOfFile = false;  // read() found the end of the input
};

// Reads until count bytes have come, until limits.intervalMs pass without a byte
// once one has come, or until limits.totalMs have passed since the call. A hang-up,
// a failure or the end of the input ends the read early; `end` tells which.
int ReadWithLimits(int fd, std::uint8_t* buffer, std::uint32_t count, ReadLimits limits, ReadEnd& end);

// Waits up to ms for events on fd; a signal does not cut the wait short. The revents
// that came, 0 when the time passed first, -1 on failure (errno tells).
int PollFor(int fd, short events, std::uint32_t ms);

// True for the errors of a line that was hung up (EIO) or a device that vanished
// (ENODEV, ENXIO).
bool IsGoneError(int error);

// Writes until all bytes are out or totalMs have passed.
int WriteWithLimit(int fd, const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs,
                   int& error);

std::string ErrorText(int error);

// One open device or socket descriptor with the reason for its last failure;
// the devices and the socket build on it.
class DeviceFile {
public:
    DeviceFile() = default;
    ~DeviceFile() { Close(); }
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;

    // Opens read-write and non-blocking, refuses anything but a character device
    // (kNotADevice), and takes an advisory exclusive lock so two programs of this
    // kind never share a device (EBUSY when another has it).
    bool OpenExclusive(const std::string& path);
    static const char kNotADevice[];
    // Takes over a descriptor made elsewhere (a socket); false for -1, with errno.
    bool Adopt(int fd);
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    // Bounded transfers (ReadWithLimits, WriteWithLimit); 0 when not open.
    // A read returns -1 when it finds the other side gone (a hang-up or a gone error;
    // the end of the input too when endOfFileIsGone) and no byte came. Bytes that came
    // before are returned, and from then on every read returns -1 at once until the
    // file is closed or another descriptor is taken over.
    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits, bool endOfFileIsGone);
    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs);

    // Records the reason and returns false, so `return file.Fail(errno);` reads well.
    bool Fail(int error);
    const std::string& LastError() const { return lastError_; }

private:
    int fd_ = -1;
    bool gone_ = false;
    std::string lastError_;
};

// The transfers, Close and LastError that the serial and the parallel device
// share, over one DeviceFile. endOfFileIsGone: whether read() finding the end of
// the input (or failing with EIO) means the line is gone (a terminal after a
// hang-up) or only that nothing came (a parallel driver that has nothing to give,
// or no reverse channel); a hang-up, ENODEV and ENXIO are gone for both.
template <class DeviceInterface> class FileBackedDevice : public DeviceInterface {
public:
    explicit FileBackedDevice(bool endOfFileIsGone) : endOfFileIsGone_(endOfFileIsGone) {}
    bool IsOpen() const override { return file_.IsOpen(); }
    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits) override
    {
        return file_.Read(buffer, count, limits, endOfFileIsGone_);
    }
    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs) override
    {
        return file_.Write(buffer, count, totalMs);
    }
    void Close() override { file_.Close(); }
    const std::string& LastError() const override { return file_.LastError(); }

protected:
    DeviceFile file_;

private:
    bool endOfFileIsGone_;
};

}  // namespace zorvik::posix
