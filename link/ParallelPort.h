#pragma once
// A printer on a parallel port. Open tests the printer status (ready means
// selected and nothing else); Write and Read are single bounded transfers.
#include <cstdint>
#include <memory>
#include <string>

#include "link/DeviceNames.h"
#include "link/ParallelDevice.h"
#include "link/Port.h"

namespace zorvik {

class ParallelPort final : public Port {
public:
    ParallelPort(const DeviceNames& names, std::unique_ptr<ParallelDevice> device);
    ~ParallelPort() override;

    int Configure(const PortSettings& settings) override;
    int Open() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;
    void Close() override;
    const char* LastError() const override { return lastError_.c_str(); }

    const CommTimeouts& Timeouts() const { return timeouts_; }
    bool IsOpen() const { return isOpen_; }

private:
    DeviceNames names_;
    std::unique_ptr<ParallelDevice> device_;
    std::string portName_;
    CommTimeouts timeouts_;
    bool isOpen_ = false;
    std::string lastError_;
};

}  // namespace zorvik
