#pragma once
// The serial and parallel devices this system really has, as device paths.
#include <filesystem>
#include <string>
#include <vector>

namespace zorvik {

// The serial devices, sorted by their kernel names: every entry of
// <sysfsRoot>/class/tty with a device driver, except the placeholder 8250 ports that
// exist whether or not hardware is fitted. A USB-serial adapter (ttyUSBn, ttyACMn)
// is given by its stable name under <devRoot>/serial/by-id when it has one, so the
// same adapter keeps its name whichever socket and order it was plugged in.
std::vector<std::string> ListSerialDevices(const std::filesystem::path& sysfsRoot = "/sys",
                                           const std::filesystem::path& devRoot = "/dev");
// The parallel printer devices (/dev/lpN) the lp driver has made, sorted.
std::vector<std::string> ListParallelDevices(const std::filesystem::path& sysfsRoot = "/sys");

}  // namespace zorvik
