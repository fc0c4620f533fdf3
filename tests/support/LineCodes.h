#pragma once
// Serial line members set from the plain numbers the window's lists and the
// settings files use, for tables of cases.
#include "link/PortSettings.h"

namespace zorvik::test {

inline PortSettings WithLine(PortSettings s, std::uint32_t baud, std::int32_t bits, std::int32_t parity,
                             std::int32_t stop, std::int32_t flow)
{
    s.baudRate = baud;
    s.dataBits = bits;
    s.parity = CodeFromNumber<Parity>(parity);
    s.stopBits = CodeFromNumber<StopBits>(stop);
    s.flowControl = CodeFromNumber<FlowControl>(flow);
    return s;
}

}  // namespace zorvik::test
