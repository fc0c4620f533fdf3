#pragma once
// Where the main window's port presets come from: the system's printer queues and
// the program's own settings. PresetFor reads the one the window's argument names.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/PortSettings.h"

namespace zorvik {

class DeviceNames;

class QueuePresets {  // the system's printer queues
public:
    virtual ~QueuePresets() = default;
    // The settings the named queue gives, laid over base; no value when there is no such
    // queue or its port is none the window can use.
    virtual std::optional<PortSettings> ForQueue(const std::string& queue,
                                                 const PortSettings& base) const = 0;
};

class OwnPresetValues {  // the program's own settings, by value name
public:
    virtual ~OwnPresetValues() = default;
    // No value when missing.
    virtual std::optional<std::string> Text(std::string_view name) const = 0;
    // No value when missing or not a whole decimal number of 32 bits.
    virtual std::optional<std::uint32_t> Number(std::string_view name) const = 0;
};

// The preset the argument names, laid over base: the own settings for the product's
// own queue name (whole, case-sensitive), the queue of that name (quotes and all) for
// any other non-empty argument. No value when there is none, or when it names no
// interface the window can use. For Ethernet the baud rate carries the TCP port until
// the window's selections move it into tcpPort.
std::optional<PortSettings> PresetFor(std::string_view argument, const PortSettings& base,
                                      const QueuePresets& queues, const OwnPresetValues& own);

// A queue port as a spooler names it, with what it says about the port.
struct PresetQueue {
    std::string port;                         // "COM2:", "LPT1:", "USB001", "IP_10.0.0.5", "FILE:", ...
    std::optional<std::string> lineSettings;  // a serial port's "9600,n,8,1[,x|p]"
    std::optional<std::uint32_t> portNumber;  // the TCP port of an "IP_" port
};
// Such a queue laid over base; no value for a port that names no interface ("FILE:").
std::optional<PortSettings> PresetFromSpoolerPort(const PresetQueue& queue, const PortSettings& base);

// A printer queue's device URI laid over base:
//   serial:/dev/ttyS1?baud=9600+bits=8+parity=none+flow=none  -> "COM2", 9600 8N1, no flow control
//   serial:/dev/ttyUSB0?baud=9600                              -> the COM name the port map gives
//                                                                 the device, else its path
//   parallel:/dev/lp0                                          -> "LPT1"
//   usb://…                                                    -> "USB001"
//   socket://10.0.0.5:9100                                     -> "10.0.0.5", port 9100
// No value for anything else (another scheme, a parallel device that is not lpN, a
// serial device outside /dev, a host that is not a dotted IPv4 address). Serial
// options that are missing take 8 data bits, no parity, one stop bit and no flow
// control; a missing rate and values that mean nothing keep base's.
std::optional<PortSettings> PresetFromDeviceUri(std::string_view uri, const PortSettings& base,
                                                const DeviceNames& names);

// True for a print server address on this machine: a socket path or a loopback host.
bool IsLocalPrintServer(const std::string& server);

// The platform's sources: the local print scheduler's queues (only a scheduler on this
// machine is asked, every request bounded in time; device paths named through the
// user's port map) and the own settings file in the system configuration folder.
std::unique_ptr<QueuePresets> MakeSystemQueuePresets();
std::unique_ptr<OwnPresetValues> MakeOwnPresetValues();

}  // namespace zorvik
