#pragma once
// The printer queues of the system, by name, as device URIs
// ("serial:/dev/ttyS1?baud=9600+bits=8", "parallel:/dev/lp0", "usb://…",
// "socket://10.0.0.5:9100").
#include <optional>
#include <string>

namespace zorvik {

class PresetDestinations {
public:
    virtual ~PresetDestinations() = default;
    // No value when the queue does not exist or has no device URI.
    virtual std::optional<std::string> DeviceUri(const std::string& queue) const = 0;
};

}  // namespace zorvik
