#include "cli/TraceWriter.h"

#include <cstdio>
#include <ctime>

#include "cmdtest/HexText.h"

namespace zorvik {

std::string TraceWriter::FormatLine(std::chrono::system_clock::time_point when, const std::string& name,
                                    TraceDirection direction, const std::uint8_t* bytes, int result)
{
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(when);
    const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms));
    std::string line = std::string(stamp) + " " + name + (direction == TraceDirection::Write ? " > " : " < ");
    if (result > 0 && bytes) {
        std::string hex = FormatHexText(bytes, static_cast<std::size_t>(result));
        hex.pop_back();  // the space after the last pair
        line += hex;
    } else if (result < 0) {
        line += "(connection error)";
    } else {
        line += "(nothing)";
    }
    return line + "\n";
}

LinkTrace TraceWriter::Hook()
{
    return [this](TraceDirection direction, const std::uint8_t* bytes, int result) {
        console_.Err(FormatLine(std::chrono::system_clock::now(), name_, direction, bytes, result));
    };
}

}  // namespace zorvik
