#pragma once
// SerialLine <-> termios. Kept apart from the device so the flag mapping can be
// checked without a device.
#include <termios.h>

#include "link/SerialDevice.h"

namespace zorvik::posix {

// Sets `t` to a raw 8-bit-clean line with the given settings; every other field
// keeps its value. False for a rate or size the line cannot carry.
bool ApplyLine(const SerialLine& line, termios& t);

// The settings a termios record describes (DTR and RTS are not part of it and
// read as raised).
SerialLine LineOf(const termios& t);

}  // namespace zorvik::posix
