#pragma once
// The --trace lines: every write and read on the link in hex with a millisecond
// wall-clock timestamp, on standard error.
//   12:04:31.207 COM1 > 1d 49 43
//   12:04:31.409 COM1 < 5f 4c 58 54 2d 36 34 30 49 56 00
//   12:04:32.411 COM1 < (nothing)
#include <chrono>
#include <cstdint>
#include <string>

#include "cli/Console.h"
#include "link/PrinterLink.h"

namespace zorvik {

class TraceWriter {
public:
    TraceWriter(Console& console, std::string name) : console_(console), name_(std::move(name)) {}

    // The hook for PrinterLink::SetTrace.
    LinkTrace Hook();

    // One line, without the timestamp's source: for tests.
    static std::string FormatLine(std::chrono::system_clock::time_point when, const std::string& name,
                                  TraceDirection direction, const std::uint8_t* bytes, int result);

private:
    Console& console_;
    std::string name_;
};

}  // namespace zorvik
