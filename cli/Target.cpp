#include "cli/Target.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "link/PrinterLink.h"

namespace zorvik {

namespace {

bool AllDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

std::optional<Target> ParseTarget(const std::string& text, const LineOptions& line, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<Target> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (text.empty())
        return fail("an empty printer name");

    Target target;
    target.text = text;
    PortSettings& s = target.settings;
    s.portName = text;

    const auto cabled = ClassifyPortName(text, 0);
    if (cabled) {
        target.type = *cabled;
        s.interfaceType = *cabled;
        if (*cabled == InterfaceType::Usb && text.size() <= 10)
            return fail("\"" + text + "\" names no USB device path (use the entry \"ports\" lists)");
        s.baudRate = line.baudRate;
        s.dataBits = line.dataBits;
        s.stopBits = line.stopBits;
        s.parity = line.parity;
        s.flowControl = line.flowControl;
        s.timeouts = kCabledPortTimeouts;
        return target;
    }

    // Ethernet: an address, optionally followed by ":port".
    std::string host = text;
    std::uint32_t port = line.tcpPort;
    const auto colon = text.rfind(':');
    if (colon != std::string::npos) {
        const std::string portText = text.substr(colon + 1);
        if (!AllDigits(portText))
            return fail("\"" + text + "\": the TCP port after ':' is not a number");
        unsigned long value = 0;
        std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (value == 0 || value > 65535 || portText.size() > 5)
            return fail("\"" + text + "\": the TCP port must be 1 to 65535");
        port = static_cast<std::uint32_t>(value);
        host = text.substr(0, colon);
    }
    // Dotted IPv4 text only, as the network port takes it: four numbers 0 to 255,
    // without leading zeros.
    std::vector<std::string> octets(1);
    for (char c : host) {
        if (c == '.')
            octets.emplace_back();
        else if (std::isdigit(static_cast<unsigned char>(c)))
            octets.back() += c;
        else
            return fail("\"" + text + "\" is neither a port name nor an IPv4 address");
    }
    if (octets.size() != 4)
        return fail("\"" + text + "\" is neither a port name nor an IPv4 address");
    for (const auto& octet : octets)
        if (octet.empty() || octet.size() > 3 || (octet.size() > 1 && octet[0] == '0') ||
            std::stoi(octet) > 255)
            return fail("\"" + text + "\": each of the four numbers of an IPv4 address is 0 to 255");
    if (port == 0)
        return fail("\"" + text + "\": no TCP port");
    target.type = InterfaceType::Ethernet;
    s = PortSettings{};
    s.interfaceType = InterfaceType::Ethernet;
    s.portName = host;
    s.tcpPort = port;
    return target;
}

std::string PrinterKey(const Target& target)
{
    std::string key = std::to_string(CodeNumber(target.type)) + " " + target.settings.portName;
    if (target.type == InterfaceType::Ethernet)
        key += ":" + std::to_string(target.settings.tcpPort);
    return key;
}

std::vector<std::string> ParseTargetList(const std::string& text)
{
    std::vector<std::string> targets;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#')
            continue;
        targets.push_back(first);
    }
    return targets;
}

std::string FileSafeName(const std::string& text)
{
    std::string name;
    for (unsigned char c : text)
        name += (std::isalnum(c) || c == '.' || c == '-') ? static_cast<char>(c) : '_';
    return name;
}

}  // namespace zorvik
