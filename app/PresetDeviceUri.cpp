// A printer queue's device URI read straight into port settings (PresetFromDeviceUri).
#include <cctype>
#include <string>

#include "app/PresetParsers.h"
#include "app/PresetSources.h"
#include "link/DeviceNames.h"
#include "resources/PresetTexts.h"

namespace zorvik {

namespace {

std::string Lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool AllDigits(std::string_view text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "COM2" for "/dev/ttyS1", "LPT1" for "/dev/lp0": the device's number plus one.
std::optional<std::string> NumberedPort(std::string_view path, std::string_view deviceStem,
                                        std::string_view portStart)
{
    if (!path.starts_with(deviceStem) || !AllDigits(path.substr(deviceStem.size())))
        return std::nullopt;
    const std::uint32_t number = ReadDecimal(path.substr(deviceStem.size())) + 1;
    return std::string(portStart) + std::to_string(number);
}

// The device path of "serial:/dev/ttyS1?…" or "parallel:///dev/lp0".
std::string_view DevicePath(std::string_view rest)
{
    rest = rest.substr(0, rest.find('?'));
    while (rest.starts_with("//"))
        rest.remove_prefix(1);
    return rest;
}

// The line settings of a serial URI's options laid over m: missing options take the
// usual 8 data bits, no parity, one stop bit and no flow control; a missing or zero
// rate, and a value that means nothing, keep m's.
void ApplyLineOptions(std::string_view rest, PortSettings& m)
{
    std::optional<std::uint32_t> baud;
    std::optional<Parity> parity = Parity::None;
    std::optional<std::int32_t> bits = 8;
    std::optional<StopBits> stop = StopBits::One;
    FlowControl flow = FlowControl::None;
    const auto query = rest.find('?');
    std::string_view options = query == std::string_view::npos ? std::string_view() : rest.substr(query + 1);
    while (!options.empty()) {
        const auto end = options.find_first_of("+&");
        const std::string_view option = options.substr(0, end);
        options = end == std::string_view::npos ? std::string_view() : options.substr(end + 1);
        const auto eq = option.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string name = Lowered(option.substr(0, eq));
        const std::string value = Lowered(option.substr(eq + 1));
        if (name == "baud")
            baud = AllDigits(value) ? std::optional(ReadDecimal(value)) : std::nullopt;
        else if (name == "bits")
            bits = value == "7" || value == "8" ? std::optional(value[0] - '0') : std::nullopt;
        else if (name == "parity") {
            constexpr std::string_view kParities[] = {"none", "odd", "even", "mark", "space"};
            parity = std::nullopt;
            for (std::size_t code = 0; code < std::size(kParities); ++code) {
                if (value == kParities[code])
                    parity = CodeFromNumber<Parity>(static_cast<std::int64_t>(code));
            }
        } else if (name == "stop")
            stop = value == "1"   ? std::optional(StopBits::One)
                   : value == "2" ? std::optional(StopBits::Two)
                                  : std::nullopt;
        else if (name == "flow") {
            if (value == "soft" || value == "xonxoff")
                flow = FlowControl::XonXoff;
            else if (value == "hard" || value == "rtscts" || value == "dtrdsr")
                flow = FlowControl::Hardware;
            else
                flow = FlowControl::None;
        }
    }
    // An unknown stop-bits value keeps m's, unless flow control is asked for: then one.
    if (!stop && flow != FlowControl::None)
        stop = StopBits::One;
    if (baud && *baud != 0)
        m.baudRate = *baud;
    if (parity)
        m.parity = *parity;
    if (bits)
        m.dataBits = *bits;
    if (stop)
        m.stopBits = *stop;
    m.flowControl = flow;
}

// A path under /dev that stays there: no "..", no empty or control characters and no
// trailing colon (which the preset would cut as a port text's).
bool IsPlainDevicePath(std::string_view path)
{
    if (!path.starts_with(kPortStartSerialDevice) ||
        path.size() == std::string_view(kPortStartSerialDevice).size() || path.back() == ':' ||
        path.back() == '/')
        return false;
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < 0x21 || c == 0x7f)
            return false;
    }
    return path.find("/../") == std::string_view::npos && !path.ends_with("/..") &&
           path.find("//") == std::string_view::npos;
}

bool IsDottedIpv4(std::string_view host)
{
    int parts = 0;
    while (true) {
        const auto dot = host.find('.');
        const std::string_view part = host.substr(0, dot);
        if (part.size() > 3 || !AllDigits(part) || ReadDecimal(part) > 255)
            return false;
        ++parts;
        if (dot == std::string_view::npos)
            break;
        host.remove_prefix(dot + 1);
    }
    return parts == 4;
}

// The highest COM number a device is looked for under in the port map.
constexpr int kHighestMappedCom = 256;

// The name a serial device goes by: the COM name the port map, or the built-in ttyS
// numbering where the map leaves it, gives the device; else its own path.
std::optional<std::string> SerialPortName(std::string_view path, const DeviceNames& names)
{
    if (!IsPlainDevicePath(path))
        return std::nullopt;
    if (auto numbered = NumberedPort(path, "/dev/ttyS", kPortStartSerial);
        numbered && names.DevicePath(*numbered) == path)
        return numbered;
    for (int number = 1; number <= kHighestMappedCom; ++number) {
        std::string name = std::string(kPortStartSerial) + std::to_string(number);
        if (names.DevicePath(name) == path)
            return name;
    }
    return std::string(path);  // a USB-serial adapter, by its stable name or its kernel name
}

// "10.0.0.5" with its TCP port (9100 when none is given) of "//10.0.0.5:9100/…".
std::optional<PortSettings> SocketPreset(std::string_view rest, const PortSettings& base)
{
    if (!rest.starts_with("//"))
        return std::nullopt;
    rest.remove_prefix(2);
    rest = rest.substr(0, rest.find_first_of("/?"));
    std::string_view host = rest;
    std::uint32_t port = kDefaultSocketPort;
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
        host = rest.substr(0, colon);
        const std::string_view portText = rest.substr(colon + 1);
        if (!AllDigits(portText) || ReadDecimal(portText) == 0 || ReadDecimal(portText) > 65535)
            return std::nullopt;
        port = ReadDecimal(portText);
    }
    if (!IsDottedIpv4(host))
        return std::nullopt;
    PortSettings m = base;
    m.interfaceType = InterfaceType::Ethernet;
    m.portName = std::string(host);
    m.baudRate = port;  // carried until the window's selections move it into tcpPort
    return m;
}

}  // namespace

std::optional<PortSettings> PresetFromDeviceUri(std::string_view uri, const PortSettings& base,
                                                const DeviceNames& names)
{
    const auto colon = uri.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string scheme = Lowered(uri.substr(0, colon));
    const std::string_view rest = uri.substr(colon + 1);
    PortSettings m = base;
    if (scheme == "serial") {
        auto port = SerialPortName(DevicePath(rest), names);
        if (!port)
            return std::nullopt;
        m.interfaceType = InterfaceType::Serial;
        m.portName = std::move(*port);
        ApplyLineOptions(rest, m);
        return m;
    }
    if (scheme == "parallel") {
        auto port = NumberedPort(DevicePath(rest), "/dev/lp", kPortStartParallel);
        if (!port)
            return std::nullopt;
        m.interfaceType = InterfaceType::Parallel;
        m.portName = std::move(*port);
        return m;
    }
    if (scheme == "usb") {
        m.interfaceType = InterfaceType::Usb;
        m.portName = kUsbQueuePort;
        return m;
    }
    if (scheme == "socket")
        return SocketPreset(rest, base);
    return std::nullopt;  // "ipp:", "file:" and the like name no port the window can use
}

bool IsLocalPrintServer(const std::string& server)
{
    return (!server.empty() && server.front() == '/') || server == "localhost" || server == "127.0.0.1" ||
           server == "::1" || server == "[::1]";
}

}  // namespace zorvik
