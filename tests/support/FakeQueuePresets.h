#pragma once
// Printer queues given by hand as device URIs, read as the system's queues are:
// through the device-URI mapping and a port map of the test's own.
#include <map>
#include <string>

#include "app/PresetSources.h"
#include "link/DeviceNames.h"

namespace zorvik::test {

class FakeQueuePresets final : public QueuePresets {
public:
    std::map<std::string, std::string> uris;  // queue name -> device URI
    DeviceNames names;                        // the built-in mapping unless a test adds to it

    void Set(const std::string& queue, const std::string& uri) { uris[queue] = uri; }

    std::optional<PortSettings> ForQueue(const std::string& queue, const PortSettings& base) const override
    {
        const auto it = uris.find(queue);
        if (it == uris.end())
            return std::nullopt;
        return PresetFromDeviceUri(it->second, base, names);
    }
};

}  // namespace zorvik::test
