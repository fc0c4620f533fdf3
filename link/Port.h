#pragma once
#include <cstdint>

#include "link/PortSettings.h"

namespace zorvik {

// One concrete attachment of the printer. Results are plain integers: non-zero for
// success, zero for failure, byte counts for transfers (Read also has -1 for a
// broken connection). Nothing throws.
class Port {
public:
    virtual ~Port() = default;

    virtual int Configure(const PortSettings& settings) = 0;
    virtual int Open() = 0;
    // The bytes accepted; 0 on failure.
    virtual int Write(const std::uint8_t* buffer, std::uint32_t count) = 0;
    // At most count bytes into buffer, waiting up to the time-out (or the port's own
    // read limits). Returns:
    //   > 0  the bytes received;
    //   0    nothing arrived within the time-out on a healthy connection; also for a
    //        port that is not open (or was closed by Close), a null buffer or count 0;
    //   -1   the connection is closed or failed (the peer closed or reset it, the line
    //        hung up, the device was unplugged or vanished) and no byte came in this
    //        call. Bytes that came before the break are returned first, and the next
    //        Read returns -1 at once. A port whose printer was unplugged while it was
    //        open returns -1 until the printer is back or the port is closed.
    // No other negative value.
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
