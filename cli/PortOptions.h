#pragma once
// The port options every printer subcommand takes: --port NAME and either the serial
// line settings or --tcp-port N. They become the PortSettings the main window would
// collect from its controls.
#include <cstdint>
#include <string>

#include "link/PortSettings.h"

namespace CLI {
class App;
}

namespace zorvik {

struct PortOptions {
    std::string port;
    std::uint32_t baud = 9600;
    std::int32_t dataBits = 8;
    std::int32_t parity = 0;       // none
    std::int32_t stopBits = 0;     // 1
    std::int32_t flowControl = 0;  // hardware
    std::uint32_t tcpPort = 0;

    void AddTo(CLI::App& command);
    PortSettings Settings() const;
    // The interface the port name and TCP port stand for (serial when they match none:
    // the link then refuses the settings).
    InterfaceType Interface() const;
};

}  // namespace zorvik
