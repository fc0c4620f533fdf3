#pragma once
// The thin layer between SerialPort and the operating system's serial device.
// SerialPort decides the line settings and time limits; a SerialDevice only
// carries them out, so the port's logic can be tested with a fake device.
#include <cstdint>
#include <memory>
#include <string>

#include "link/PortSettings.h"

namespace zorvik {

// Line settings in the terms SerialPort decides them.
struct SerialLine {
    std::uint32_t baudRate = 9600;  // one of the rates the port offers
    int dataBits = 8;               // 5 to 8
    int stopBits = 1;               // 1 or 2
    // 1.5 was chosen: sent where the line can (5-bit characters on a Windows line),
    // otherwise stopBits (2) stands for it.
    bool oneAndHalfStopBits = false;
    Parity parity = Parity::None;  // Mark and Space as sticky parity
    bool checkParity = false;      // check (and report) parity on input
    bool ctsHandshake = false;     // send only while CTS is raised
    bool raiseDtr = true;
    bool raiseRts = true;
    bool xonXoffOutput = false;  // stop sending on XOFF from the printer
    bool xonXoffInput = false;   // send XOFF when our input buffer fills

    friend bool operator==(const SerialLine&, const SerialLine&) = default;
};

// When a read ends: at the count, after `intervalMs` of silence once a byte has
// come, or `totalMs` after the call, whichever is first.
// An intervalMs of 0 means no silence rule.
struct ReadLimits {
    std::uint32_t intervalMs = 0;
    std::uint32_t totalMs = 0;
};

// constant + perByte * count, saturated: the total limit of a transfer.
inline std::uint32_t TotalLimit(std::uint32_t constantMs, std::uint32_t perByteMs, std::uint32_t count)
{
    const std::uint64_t total = constantMs + std::uint64_t{perByteMs} * count;
    return total > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(total);
}

enum class ModemPresence {
    DsrOn,   // DSR raised, or a line without modem lines whose other end is open
    DsrOff,  // DSR low, or the other end of such a line closed
    Failed,  // the status could not be read
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the device for exclusive, non-shared use. False when it is missing or
    // held by another program.
    virtual bool Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    virtual bool GetLine(SerialLine& line) = 0;
    // False when the device refuses a value (an unsupported rate, for example).
    virtual bool SetLine(const SerialLine& line) = 0;
    virtual ModemPresence Presence() = 0;
    // Drops whatever waits in both directions.
    virtual bool Purge() = 0;
    // Bytes read; 0 on silence or a failure that leaves the line up; -1 when the line
    // is gone (hung up, the device vanished) and no byte came. After bytes that came
    // before the line went, the next read returns -1 at once. Never waits past
    // limits.totalMs.
    virtual int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits) = 0;
    // Bytes written; gives up when totalMs have passed.
    virtual int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs) = 0;
    virtual void Close() = 0;
    // The system's reason for the last failure, for diagnostics.
    virtual const std::string& LastError() const = 0;
};

// The serial device of this operating system.
std::unique_ptr<SerialDevice> MakeSystemSerialDevice();

}  // namespace zorvik
