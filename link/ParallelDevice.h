#pragma once
// The thin layer between ParallelPort and the operating system's parallel device.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/SerialDevice.h"  // ReadLimits

namespace zorvik {

// The printer status byte ParallelPort tests. One bit per condition; a ready
// printer reports exactly kParallelSelected.
inline constexpr std::uint8_t kParallelPaperEmpty = 0x04;
inline constexpr std::uint8_t kParallelOffLine = 0x08;
inline constexpr std::uint8_t kParallelPowerOff = 0x10;
inline constexpr std::uint8_t kParallelNotConnected = 0x20;
inline constexpr std::uint8_t kParallelBusy = 0x40;
inline constexpr std::uint8_t kParallelSelected = 0x80;

class ParallelDevice {
public:
    virtual ~ParallelDevice() = default;

    // Opens the device for exclusive use; false when missing or held elsewhere.
    virtual bool Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // The printer status byte (bits above); no value when the driver cannot tell.
    virtual std::optional<std::uint8_t> Status() = 0;
    // Drops pending output and input where the driver allows it.
    virtual void Purge() = 0;
    // As SerialDevice::Read: bytes, 0 on silence, -1 when the device hung up or
    // vanished and no byte came. A read the driver or printer does not support is 0.
    virtual int Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits) = 0;
    virtual int Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs) = 0;
    virtual void Close() = 0;
    virtual const std::string& LastError() const = 0;
};

std::unique_ptr<ParallelDevice> MakeSystemParallelDevice();

}  // namespace zorvik
