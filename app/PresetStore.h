#pragma once
// Where the main window's port presets come from: the system's printer queues and
// the program's own settings. The window is handed one; tests give it queues and a
// settings file of their own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

// What a printer queue says about its port, in the forms the presets read.
struct PresetQueue {
    std::string port;                         // "COM2:", "LPT1:", "USB001", "IP_10.0.0.5", "FILE:", ...
    std::optional<std::string> lineSettings;  // a serial port's "9600,n,8,1[,x|p]"
    std::optional<std::uint32_t> portNumber;  // the TCP port of an "IP_" port
};

class PresetStore {
public:
    virtual ~PresetStore() = default;
    // The named queue as given (quotes and all); no value when there is no such queue.
    virtual std::optional<PresetQueue> FindQueue(const std::string& queue) const = 0;
    // A text value of the own settings; no value when it is missing.
    virtual std::optional<std::string> OwnText(std::string_view name) const = 0;
    // A number value of the own settings; no value when it is missing or not a number.
    virtual std::optional<std::uint32_t> OwnNumber(std::string_view name) const = 0;
};

}  // namespace zorvik
