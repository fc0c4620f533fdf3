#pragma once
// A printer queue's device URI turned into the port text and settings the presets
// read:
//   serial:/dev/ttyS1?baud=9600+bits=8+parity=none+flow=none  -> "COM2:" with "9600,n,8,1"
//   serial:/dev/serial/by-id/usb-…?baud=9600                  -> that path with "9600,n,8,1"
//   parallel:/dev/lp0                                          -> "LPT1:"
//   usb://…                                                    -> "USB001"
//   socket://10.0.0.5:9100                                     -> "IP_10.0.0.5", port 9100
// Anything else (another scheme, a parallel device that is not lpN, a serial device
// outside /dev, a host that is not a dotted IPv4 address) gives a port text that
// names no interface.
#include <string_view>

#include "app/PresetStore.h"

namespace zorvik {

PresetQueue PresetQueueFromDeviceUri(std::string_view uri);

}  // namespace zorvik
