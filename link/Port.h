#pragma once
#include <cstdint>

#include "link/PortSettings.h"

namespace zorvik {

// One concrete attachment of the printer. Results are plain integers: non-zero for
// success, zero for failure, byte counts for transfers. Nothing throws.
class Port {
public:
    virtual ~Port() = default;

    virtual int Configure(const PortSettings& settings) = 0;
    virtual int Open() = 0;
    virtual int Write(const std::uint8_t* buffer, std::uint32_t count) = 0;
    // Bytes placed in buffer; 0 when nothing arrived. The network port may also
    // return a negative value on a connection error.
    virtual int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) = 0;
    virtual void Close() = 0;

    // Device-change events (USB plug and unplug). A port that follows them offers a
    // pollable descriptor; the owner's event loop calls HandleDeviceChange when it is
    // readable, always between transfers.
    virtual int DeviceEventHandle() const { return -1; }
    virtual void HandleDeviceChange() {}

    // The system's reason for the last failure (errno text), for diagnostics only.
    virtual const char* LastError() const { return ""; }
};

}  // namespace zorvik
