#pragma once
// The text forms a port preset is made of, read without side effects: a serial
// port's line settings, port texts, a dotted address, and list searches.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/PortSettings.h"

namespace zorvik {

// Reads "9600,n,8,1", "19200,e,7,1.5,x", "9600,n,8,2,p" into settings. The baud rate
// comes before the first comma; parity, data bits, stop bits and flow control sit
// at fixed places after it. A place the text does not reach, or a character that
// means nothing there, leaves the member as it was; a text that stops right after
// its stop bits means no flow control. An empty or missing baud rate keeps the
// old one (a rate of 0 would hang up the line).
// Only the serial line members of settings change.
void ParseSerialLineSettings(std::string_view text, PortSettings& settings);

// The leading decimal digits of text as a number (0 when there are none), held at
// the largest 32-bit value when it is bigger.
std::uint32_t ReadDecimal(std::string_view text);

// What the start of a queue's port text stands for.
enum class PresetPortKind { Serial, Parallel, Usb, TcpIp, Net, Other };
// Queue ports: "COM…", "LPT…", "USB…", "IP…"; anything else is Other.
PresetPortKind ClassifyQueuePort(std::string_view port);
// The own preset's port: "COM…", "LPT…", "USB…", "NET…"; anything else is Other.
PresetPortKind ClassifyOwnPort(std::string_view port);

// The first entry that begins with text, case ignored, searching from the second
// entry to the last and then the first; -1 when none does.
int FindEntryByPrefix(const std::vector<std::string>& entries, std::string_view text);

// The list index a code selects: the code itself, or -1 (no selection) for a code
// outside the list.
int SelectionForCode(std::size_t entryCount, std::int64_t code);

// A dotted address split into four octets, each taken modulo 256. When fewer than
// three dots are found the octets are missing. rest is what is left of the text
// after the dots consumed (the last number's text for a whole address).
struct DottedAddress {
    std::optional<std::array<std::uint8_t, 4>> octets;
    std::string rest;
};
DottedAddress SplitDottedAddress(std::string_view text);

}  // namespace zorvik
