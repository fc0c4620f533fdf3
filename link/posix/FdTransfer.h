#pragma once
// Bounded reads and writes on a non-blocking file descriptor, shared by the
// serial and parallel devices. Each call returns the bytes moved and never waits
// past its limit, whatever the device does.
#include <cstdint>
#include <string>

#include "link/SerialDevice.h"

namespace zorvik::posix {

// Reads until count bytes have come, until limits.intervalMs pass without a byte
// once one has come, or until limits.totalMs have passed since the call. A hang-up
// or end of file ends the read early. `error` gets errno of a failure, else 0.
int ReadWithLimits(int fd, std::uint8_t* buffer, std::uint32_t count, ReadLimits limits, int& error);

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

    // Opens read-write and non-blocking, and takes an advisory exclusive lock so
    // two programs of this kind never share a device (EBUSY when another has it).
    bool OpenExclusive(const std::string& path);
    // Takes over a descriptor made elsewhere (a socket); false for -1, with errno.
    bool Adopt(int fd);
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    // Bounded transfers (ReadWithLimits, WriteWithLimit); 0 when not open.
    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits);
    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs);

    // Records the reason and returns false, so `return file.Fail(errno);` reads well.
    bool Fail(int error);
    const std::string& LastError() const { return lastError_; }

private:
    int fd_ = -1;
    std::string lastError_;
};

// The transfers, Close and LastError that the serial and the parallel device
// share, over one DeviceFile.
template <class DeviceInterface> class FileBackedDevice : public DeviceInterface {
public:
    bool IsOpen() const override { return file_.IsOpen(); }
    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits) override
    {
        return file_.Read(buffer, count, limits);
    }
    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs) override
    {
        return file_.Write(buffer, count, totalMs);
    }
    void Close() override { file_.Close(); }
    const std::string& LastError() const override { return file_.LastError(); }

protected:
    DeviceFile file_;
};

}  // namespace zorvik::posix
