#pragma once
// A printer named on the command line: the port text the user typed and the
// settings the connection check gets for it.
//
//   COM1, \\.\COM10, /dev/ttyUSB0, /dev/pts/3     serial (line options apply)
//   LPT1, /dev/lp0                                parallel
//   LXT-640IV:<device path>                       USB (as "ports" lists them)
//   127.0.0.1:9100, 10.0.0.5 (TCP port 9100)      Ethernet
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "link/PortSettings.h"

namespace zorvik {

// Serial line settings shared by every serial target of one run.
struct LineOptions {
    std::uint32_t baudRate = 9600;
    std::int32_t dataBits = 8;
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    FlowControl flowControl = FlowControl::Hardware;
    std::uint32_t tcpPort = 9100;  // for Ethernet targets without ":port"
};

struct Target {
    std::string text;  // as typed, for messages and tables
    InterfaceType type = InterfaceType::Serial;
    PortSettings settings;
};

// No value (and *error set) when the text names no printer.
std::optional<Target> ParseTarget(const std::string& text, const LineOptions& line,
                                  std::string* error = nullptr);

// The printer a parsed target reaches, whatever way it was written: targets with the
// same key are the same printer ("127.0.0.1" and "127.0.0.1:9100" on TCP port 9100).
std::string PrinterKey(const Target& target);

// Targets files are read up to this size.
inline constexpr std::size_t kMaxTargetsFileBytes = std::size_t{1} << 20;

// A targets file: one target per line; blank lines and lines starting with '#' are
// skipped, as is anything after the first blank on a line.
std::vector<std::string> ParseTargetList(const std::string& text);

// The target text made safe for a file name ("127.0.0.1:9100" -> "127.0.0.1_9100").
std::string FileSafeName(const std::string& text);

}  // namespace zorvik
