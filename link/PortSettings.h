#pragma once
#include <cstdint>
#include <string>

namespace zorvik {

// The same numbers as the main window's interface radio buttons.
enum InterfaceType : std::int32_t {
    Serial = 0,
    Parallel = 1,
    Usb = 2,
    Ethernet = 3,
};

// Device time limits in milliseconds, in the order the ports keep them.
struct CommTimeouts {
    std::uint32_t readInterval = 0;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

// Handed by value to PrinterLink::CreatePort and on to the port's Configure.
struct PortSettings {
    std::string portName{};  // "COM1", "\\.\COM10", "LPT1", "LXT-640IV:<path>", "10.0.0.5", or a device path
    std::uint32_t baudRate = 0;    // serial only
    std::int32_t dataBits = 0;     // 8 or 7, serial only
    std::int32_t stopBits = 0;     // 0 one, 1 one and a half, 2 two
    std::int32_t parity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::int32_t flowControl = 0;  // 0 hardware, 1 xon/xoff, 2 none
    CommTimeouts timeouts{};       // applied by the parallel port only
    std::uint32_t tcpPort = 0;     // Ethernet only; 0 means no network port wanted

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

}  // namespace zorvik
