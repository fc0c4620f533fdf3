#pragma once
// The printer queues of the local print scheduler. Only a scheduler on this
// machine is asked (its local socket or a loopback address); with any other
// server configured, or none running, there are no queues. Every request is
// bounded in time.
#include "app/PresetDestinations.h"

namespace zorvik {

class PresetCupsDestinations final : public PresetDestinations {
public:
    std::optional<std::string> DeviceUri(const std::string& queue) const override;

    // True for a scheduler address on this machine: a socket path or a loopback host.
    static bool IsLocalServer(const std::string& server);
};

}  // namespace zorvik
