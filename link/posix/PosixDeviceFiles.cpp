#include <string>

#include "link/DeviceNames.h"

namespace zorvik {

std::string SerialDeviceFile(int n)
{
    return "/dev/ttyS" + std::to_string(n - 1);
}

std::string ParallelDeviceFile(int n)
{
    return "/dev/lp" + std::to_string(n - 1);
}

}  // namespace zorvik
