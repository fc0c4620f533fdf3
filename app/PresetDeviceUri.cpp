#include "app/PresetDeviceUri.h"

#include <cctype>
#include <string>

#include "app/PresetParsers.h"
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

// "COM2:" for "/dev/ttyS1", "LPT1:" for "/dev/lp0": the device's number plus one.
std::optional<std::string> NumberedPort(std::string_view path, std::string_view deviceStem,
                                        std::string_view portStart)
{
    if (!path.starts_with(deviceStem) || !AllDigits(path.substr(deviceStem.size())))
        return std::nullopt;
    const std::uint32_t number = ReadDecimal(path.substr(deviceStem.size())) + 1;
    return std::string(portStart) + std::to_string(number) + ":";
}

// The device path of "serial:/dev/ttyS1?…" or "parallel:///dev/lp0".
std::string_view DevicePath(std::string_view rest)
{
    rest = rest.substr(0, rest.find('?'));
    while (rest.starts_with("//"))
        rest.remove_prefix(1);
    return rest;
}

// The line settings text of a serial URI's options; missing options take the
// usual 8 data bits, no parity, one stop bit and no flow control, and a missing
// rate keeps the window's.
std::string LineSettings(std::string_view rest)
{
    std::string baud;
    char parity = 'n';
    char bits = '8';
    char stop = '1';
    std::string flow;
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
            baud = AllDigits(value) ? value : std::string();
        else if (name == "bits")
            bits = value == "7" || value == "8" ? value[0] : '?';
        else if (name == "parity") {
            if (value == "none" || value == "odd" || value == "even" || value == "mark" || value == "space")
                parity = value == "none" ? 'n' : value[0];
            else
                parity = '?';
        } else if (name == "stop")
            stop = value == "1" || value == "2" ? value[0] : '?';
        else if (name == "flow") {
            if (value == "soft" || value == "xonxoff")
                flow = ",x";
            else if (value == "hard" || value == "rtscts" || value == "dtrdsr")
                flow = ",p";
            else
                flow.clear();
        }
    }
    // An unknown stop-bits value must not hide the flow letter's place.
    if (stop == '?' && !flow.empty())
        stop = '1';
    return baud + "," + parity + "," + bits + "," + stop + flow;
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

std::optional<PresetQueue> SocketQueue(std::string_view rest)
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
    PresetQueue queue;
    queue.port = std::string(kPortTcpIpPrefix) + std::string(host);
    queue.portNumber = port;
    return queue;
}

}  // namespace

PresetQueue PresetQueueFromDeviceUri(std::string_view uri)
{
    const auto colon = uri.find(':');
    const std::string scheme =
        colon == std::string_view::npos ? std::string() : Lowered(uri.substr(0, colon));
    const std::string_view rest = colon == std::string_view::npos ? uri : uri.substr(colon + 1);

    if (scheme == "serial") {
        const std::string_view path = DevicePath(rest);
        std::optional<std::string> port = NumberedPort(path, "/dev/ttyS", kPortStartSerial);
        if (!port && IsPlainDevicePath(path))
            port = std::string(path);  // a USB-serial adapter, by its stable name or its kernel name
        if (port) {
            PresetQueue queue;
            queue.port = *port;
            queue.lineSettings = LineSettings(rest);
            return queue;
        }
    } else if (scheme == "parallel") {
        if (auto port = NumberedPort(DevicePath(rest), "/dev/lp", kPortStartParallel))
            return PresetQueue{*port, std::nullopt, std::nullopt};
    } else if (scheme == "usb") {
        return PresetQueue{kUsbQueuePort, std::nullopt, std::nullopt};
    } else if (scheme == "socket") {
        if (auto queue = SocketQueue(rest))
            return *queue;
    }
    // Lower case, so that no other scheme ("ipp:", "file:") reads as an interface; nor
    // does a bare device path, which only a serial URI makes a port.
    std::string other = Lowered(uri);
    if (other.starts_with(kPortStartSerialDevice))
        other.clear();
    return PresetQueue{other, std::nullopt, std::nullopt};
}

}  // namespace zorvik
