#include "support/PortSettingsPrint.h"

#include <ostream>

namespace zorvik {

std::ostream& operator<<(std::ostream& out, InterfaceType type)
{
    constexpr const char* kNames[] = {"Serial", "Parallel", "Usb", "Ethernet"};
    const std::int32_t code = CodeNumber(type);
    if (code >= 0 && code < 4)
        return out << kNames[code];
    return out << "interface " << code;
}

void PrintTo(const PortSettings& s, std::ostream* out)
{
    *out << s.interfaceType << " \"" << s.portName << "\" " << s.baudRate << " baud, " << s.dataBits
         << " bits, parity " << CodeNumber(s.parity) << ", stop " << CodeNumber(s.stopBits) << ", flow "
         << CodeNumber(s.flowControl) << ", limits {" << s.timeouts.readInterval << ", "
         << s.timeouts.readTotalMultiplier << ", " << s.timeouts.readTotalConstant << ", "
         << s.timeouts.writeTotalMultiplier << ", " << s.timeouts.writeTotalConstant << "}, TCP port "
         << s.tcpPort;
}

}  // namespace zorvik
