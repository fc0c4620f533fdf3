#pragma once
// How to reach a printer: the one value the window, the presets, the command line
// and the ports all hand around.
#include <cstdint>
#include <string>

namespace zorvik {

// The codes are the indexes of the main window's interface radio buttons.
enum class InterfaceType : std::int32_t {
    Serial = 0,
    Parallel = 1,
    Usb = 2,
    Ethernet = 3,
};

// The serial codes are the indexes of the main window's lists and the numbers the
// settings files hold. A file or list may name a code outside the enumerators; such
// a value is kept as it is (the window then selects no entry) and LineSettingsValid
// rejects it when a line is to be opened.
enum class Parity : std::int32_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : std::int32_t { One = 0, OneAndHalf = 1, Two = 2 };
enum class FlowControl : std::int32_t { Hardware = 0, XonXoff = 1, None = 2 };

// The list index or file number of a code, and the code of one.
template <typename Code> constexpr std::int32_t CodeNumber(Code code)
{
    return static_cast<std::int32_t>(code);
}
template <typename Code> constexpr Code CodeFromNumber(std::int64_t number)
{
    return static_cast<Code>(static_cast<std::int32_t>(number));
}

// Device time limits in milliseconds, in the order the ports keep them.
struct CommTimeouts {
    std::uint32_t readInterval = 0;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

// The time limits a cabled port is configured with before it opens; the serial
// port replaces them with its own when the line is up.
inline constexpr CommTimeouts kCabledPortTimeouts{
    .readInterval = 10,
    .readTotalMultiplier = 10,
    .readTotalConstant = 10,
    .writeTotalMultiplier = 0,
    .writeTotalConstant = 0,
};

// Handed by value to PrinterLink::CreatePort and on to the port's Configure. The
// link picks its port from the port name; interfaceType is the interface the user
// chose, which the window and the presets keep beside the name.
struct PortSettings {
    InterfaceType interfaceType = InterfaceType::Serial;
    std::string portName{};  // "COM1", "\\.\COM10", "LPT1", "LXT-640IV:<path>", "10.0.0.5", or a device path
    std::uint32_t baudRate = 0;  // serial only
    std::int32_t dataBits = 0;   // 5 to 8, serial only
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    FlowControl flowControl = FlowControl::Hardware;
    CommTimeouts timeouts{};    // applied by the parallel port only
    std::uint32_t tcpPort = 0;  // Ethernet only; 0 means no network port wanted

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

// True when a serial line can be opened with the settings: a rate the line offers,
// 5 to 8 data bits, and parity and stop-bit codes that name an enumerator. (Any
// flow code but Hardware turns XON/XOFF on, so every flow code is usable.)
bool LineSettingsValid(const PortSettings& settings);

}  // namespace zorvik
