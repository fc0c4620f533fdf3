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
int WriteWithLimit(int fd, const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs, int& error);

// Takes an advisory exclusive lock so two programs of this kind never share a
// device. False (errno set) when another holder has it.
bool LockExclusive(int fd);

std::string ErrorText(int error);

}  // namespace zorvik::posix
