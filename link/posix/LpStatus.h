#pragma once
// The parallel printer driver's status register (LPGETSTATUS) as the printer
// status byte ParallelPort tests.
#include <cstdint>

namespace zorvik::posix {

std::uint8_t ParallelStatusFromLp(int lpStatus);

}  // namespace zorvik::posix
