#pragma once
// A printer on a serial line. Open configures the line, tests that a printer is
// there (DSR) and sets the port's own time limits; Write and Read are single
// bounded transfers. A port is used from one thread only (the window's, or the one
// command-line worker that made it), so it holds no lock.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Pacer.h"
#include "link/DeviceNames.h"
#include "link/Port.h"
#include "link/SerialDevice.h"

namespace zorvik {

// The line SerialPort asks for: no value when the settings hold a rate, size,
// parity or stop-bit code the line cannot carry.
std::optional<SerialLine> SerialLineFor(const PortSettings& settings, SerialLine current);

class SerialPort final : public Port {
public:
    // The port's own time limits, set by Open; whatever the settings carry is
    // replaced by these. A read of n bytes that receives nothing ends after
    // readTotalConstant + readTotalMultiplier * n; one that has begun ends
    // readInterval after its last byte.
    static constexpr CommTimeouts kTimeouts{
        .readInterval = 10,
        .readTotalMultiplier = 10,
        .readTotalConstant = 100,
        .writeTotalMultiplier = 5,
        .writeTotalConstant = 3000,
    };

    SerialPort(Pacer& pacer, const DeviceNames& names, std::unique_ptr<SerialDevice> device);
    ~SerialPort() override;

    int Configure(const PortSettings& settings) override;
    int Open() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;
    void Close() override;
    const char* LastError() const override { return lastError_.c_str(); }

    const CommTimeouts& Timeouts() const { return settings_.timeouts; }
    bool IsOpen() const { return isOpen_; }

private:
    int Fail(const std::string& why);

    Pacer& pacer_;
    DeviceNames names_;
    std::unique_ptr<SerialDevice> device_;
    PortSettings settings_;
    bool isOpen_ = false;
    std::string lastError_;
};

}  // namespace zorvik
