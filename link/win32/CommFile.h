#pragma once
// One open COM or LPT device handle with the reason for its last failure, shared by
// the serial and the parallel device. Every transfer sets its own time limits on the
// device first, so a read or write never waits past them.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/win32/SystemError.h"
#include "link/SerialDevice.h"

namespace zorvik::win32 {

class CommFile {
public:
    CommFile() = default;
    ~CommFile() { Close(); }
    CommFile(const CommFile&) = delete;
    CommFile& operator=(const CommFile&) = delete;

    // Opens read-write, not shared, blocking (no overlapped flag).
    bool Open(const std::string& path);
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return handle_; }
    void Close();

    // Bytes read; 0 on silence or a failure that leaves the device up; -1 when the
    // device is gone and no byte came (from then on at once, until closed).
    int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits);
    int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs);
    // Drops pending transfers and both device buffers.
    bool Purge();

    // Records the reason (the calling thread's last error) and returns false.
    bool Fail(DWORD error = GetLastError());
    const std::string& LastError() const { return lastError_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool gone_ = false;
    std::string lastError_;
};

// The transfers, Close and LastError that the serial and the parallel device share,
// over one CommFile.
template <class DeviceInterface> class CommBackedDevice : public DeviceInterface {
public:
    bool Open(const std::string& path) override { return file_.Open(path); }
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
    CommFile file_;
};

}  // namespace zorvik::win32
