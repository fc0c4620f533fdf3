#include <string>

#include "link/DeviceNames.h"

namespace zorvik {

// The device namespace form opens every COM and LPT number, COM10 and above included.
std::string SerialDeviceFile(int n)
{
    return "\\\\.\\COM" + std::to_string(n);
}

std::string ParallelDeviceFile(int n)
{
    return "\\\\.\\LPT" + std::to_string(n);
}

}  // namespace zorvik
