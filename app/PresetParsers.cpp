#include "app/PresetParsers.h"

#include <cctype>
#include <limits>

#include "resources/PresetTexts.h"

namespace zorvik {

namespace {

// The character at pos, or 0 when the text ends before it.
char At(std::string_view text, std::size_t pos)
{
    return pos < text.size() ? text[pos] : '\0';
}

char Lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The cabled interfaces by the start of the text, then the network start of the source.
PresetPortKind ClassifyPort(std::string_view port, std::string_view networkStart, PresetPortKind network)
{
    if (port.starts_with(kPortStartSerial) || port.starts_with(kPortStartSerialDevice))
        return PresetPortKind::Serial;
    if (port.starts_with(kPortStartParallel))
        return PresetPortKind::Parallel;
    if (port.starts_with(kPortStartUsb))
        return PresetPortKind::Usb;
    if (port.starts_with(networkStart))
        return network;
    return PresetPortKind::Other;
}

}  // namespace

void ParseSerialLineSettings(std::string_view text, PortSettings& line)
{
    std::string_view baudText;
    if (const auto comma = text.find(','); comma != std::string_view::npos) {
        baudText = text.substr(0, comma);
        text.remove_prefix(comma + 1);
    }
    if (const std::uint32_t baud = ReadDecimal(baudText); baud != 0)
        line.baudRate = baud;

    constexpr std::string_view kParityLetters = "noems";
    if (const char p = At(text, 0); p != '\0') {
        if (const auto code = kParityLetters.find(p); code != std::string_view::npos)
            line.parity = CodeFromNumber<Parity>(static_cast<std::int64_t>(code));
    }

    if (const char d = At(text, 2); d >= '0' && d <= '9')
        line.dataBits = d - '0';

    const char stop = At(text, 4);
    const char afterStop = At(text, 5);
    if (stop == '1' && afterStop == ',')
        line.stopBits = StopBits::One;
    else if (stop == '1' && afterStop == '.')
        line.stopBits = StopBits::OneAndHalf;
    else if (stop == '2')
        line.stopBits = StopBits::Two;

    // The flow letter follows the stop bits: at 6 after "1" or "2", at 8 after "1.5".
    char flow = '\0';
    if (afterStop == ',')
        flow = At(text, 6);
    else if (afterStop == '.')
        flow = At(text, 8);
    else {
        line.flowControl = FlowControl::None;
        return;
    }
    if (flow == 'x')
        line.flowControl = FlowControl::XonXoff;
    else if (flow == 'p')
        line.flowControl = FlowControl::Hardware;
}

std::uint32_t ReadDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

PresetPortKind ClassifyQueuePort(std::string_view port)
{
    return ClassifyPort(port, kPortStartTcpIp, PresetPortKind::TcpIp);
}

PresetPortKind ClassifyOwnPort(std::string_view port)
{
    return ClassifyPort(port, kPortStartNet, PresetPortKind::Net);
}

int FindEntryByPrefix(const std::vector<std::string>& entries, std::string_view text)
{
    const auto begins = [text](const std::string& entry) {
        if (entry.size() < text.size())
            return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (Lower(entry[i]) != Lower(text[i]))
                return false;
        }
        return true;
    };
    const std::size_t n = entries.size();
    for (std::size_t step = 0; step < n; ++step) {
        const std::size_t i = (step + 1) % n;
        if (begins(entries[i]))
            return static_cast<int>(i);
    }
    return -1;
}

int SelectionForCode(std::size_t entryCount, std::int64_t code)
{
    if (code < 0 || static_cast<std::uint64_t>(code) >= entryCount)
        return -1;
    return static_cast<int>(code);
}

DottedAddress SplitDottedAddress(std::string_view text)
{
    DottedAddress result;
    std::array<std::uint8_t, 4> octets{};
    // Each number is taken modulo 256 while it is read, so long digit runs cannot overflow.
    const auto octet = [](std::string_view number) {
        unsigned value = 0;
        for (std::size_t i = 0; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
            value = (value * 10 + static_cast<unsigned>(number[i] - '0')) % 256;
        return static_cast<std::uint8_t>(value);
    };
    for (int i = 0; i < 3; ++i) {
        const auto dot = text.find('.');
        if (dot == std::string_view::npos) {
            result.rest = std::string(text);
            return result;
        }
        octets[i] = octet(text.substr(0, dot));
        text.remove_prefix(dot + 1);
    }
    octets[3] = octet(text);
    result.octets = octets;
    result.rest = std::string(text);
    return result;
}

}  // namespace zorvik
