#include "cli/PortOptions.h"

#include <CLI/CLI.hpp>
#include <map>

#include "link/PrinterLink.h"

namespace zorvik {

void PortOptions::AddTo(CLI::App& command)
{
    command
        .add_option("--port", port,
                    "port name: COM1, LPT1, /dev/ttyUSB0, /dev/pts/N, or an IPv4 address with --tcp-port")
        ->required();
    auto* baudOption = command.add_option("--baud", baud, "baud rate (default 9600)")
                           ->check(CLI::IsMember({2400, 4800, 9600, 19200, 38400, 57600, 115200}));
    auto* bitsOption =
        command.add_option("--data-bits", dataBits, "7 or 8 (default 8)")->check(CLI::IsMember({7, 8}));
    const std::map<std::string, std::int32_t> parities{
        {"none", 0}, {"odd", 1}, {"even", 2}, {"mark", 3}, {"space", 4}};
    auto* parityOption = command.add_option("--parity", parity, "none|odd|even|mark|space (default none)")
                             ->transform(CLI::CheckedTransformer(parities));
    const std::map<std::string, std::int32_t> stops{{"1", 0}, {"1.5", 1}, {"2", 2}};
    auto* stopOption = command.add_option("--stop-bits", stopBits, "1|1.5|2 (default 1)")
                           ->transform(CLI::CheckedTransformer(stops));
    const std::map<std::string, std::int32_t> flows{{"hardware", 0}, {"xonxoff", 1}, {"none", 2}};
    auto* flowOption = command.add_option("--flow", flowControl, "hardware|xonxoff|none (default hardware)")
                           ->transform(CLI::CheckedTransformer(flows));
    command.add_option("--tcp-port", tcpPort, "TCP port of a network printer (--port is then its address)")
        ->check(CLI::Range(1, 65535))
        ->excludes(baudOption)
        ->excludes(bitsOption)
        ->excludes(parityOption)
        ->excludes(stopOption)
        ->excludes(flowOption);
}

PortSettings PortOptions::Settings() const
{
    PortSettings s;
    s.portName = port;
    if (tcpPort != 0 && Interface() == Ethernet) {
        s.tcpPort = tcpPort;  // a network printer: only the address and the port
        return s;
    }
    s.baudRate = baud;
    s.dataBits = dataBits;
    s.stopBits = stopBits;
    s.parity = parity;
    s.flowControl = flowControl;
    s.timeouts = {10, 10, 10, 0, 0};
    return s;
}

InterfaceType PortOptions::Interface() const
{
    return ClassifyPortName(port, tcpPort).value_or(Serial);
}

}  // namespace zorvik
