#pragma once
// Queues given by hand: for tests and the demo, which must not ask the system.
#include <map>
#include <string>

#include "app/PresetDestinations.h"

namespace zorvik {

class PresetFixedDestinations final : public PresetDestinations {
public:
    PresetFixedDestinations() = default;
    explicit PresetFixedDestinations(std::map<std::string, std::string> uris) : uris_(std::move(uris)) {}

    void Set(const std::string& queue, const std::string& uri) { uris_[queue] = uri; }

    std::optional<std::string> DeviceUri(const std::string& queue) const override
    {
        const auto it = uris_.find(queue);
        if (it == uris_.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::map<std::string, std::string> uris_;
};

}  // namespace zorvik
