#include "app/Preset.h"

#include "app/PresetParsers.h"
#include "resources/MainTexts.h"
#include "resources/PresetTexts.h"

namespace zorvik {

namespace {

// "COM2:" -> "COM2". Only a colon is cut, so a port text stored without one keeps its number.
void DropColon(std::string& portName)
{
    if (!portName.empty() && portName.back() == ':')
        portName.pop_back();
}

// Ethernet carries the TCP port in the baud rate; it starts from the window's TCP
// port, so a source without one keeps it instead of turning the baud rate into a port.
void CarryTcpPort(PortSettings& m, std::optional<std::uint32_t> port)
{
    m.baudRate = port.value_or(m.tcpPort);
}

template <typename Code> void ReadCode(const OwnPresetValues& own, std::string_view name, Code& member)
{
    if (const auto value = own.Number(name))
        member = CodeFromNumber<Code>(*value);
}

std::optional<PortSettings> OwnPreset(const OwnPresetValues& own, const PortSettings& base)
{
    const auto port = own.Text(kValuePort);
    if (!port)
        return std::nullopt;
    PortSettings m = base;
    m.portName = *port;
    switch (ClassifyOwnPort(*port)) {
    case PresetPortKind::Serial:
        m.interfaceType = InterfaceType::Serial;
        break;
    case PresetPortKind::Parallel:
        m.interfaceType = InterfaceType::Parallel;
        break;
    case PresetPortKind::Usb:
        m.interfaceType = InterfaceType::Usb;
        m.portName += own.Text(kValueUsbdeviceName).value_or("");
        break;
    case PresetPortKind::Net:
        m.interfaceType = InterfaceType::Ethernet;
        m.portName = own.Text(kValueTcpIp).value_or("");
        CarryTcpPort(m, std::nullopt);
        break;
    case PresetPortKind::TcpIp:
    case PresetPortKind::Other:
        return std::nullopt;
    }
    if (const auto rate =
            own.Number(m.interfaceType == InterfaceType::Serial ? kValueBaudRate : kValueTcpPort))
        m.baudRate = *rate;
    ReadCode(own, kValueDataBits, m.dataBits);
    ReadCode(own, kValueFlowControl, m.flowControl);
    ReadCode(own, kValueParity, m.parity);
    ReadCode(own, kValueStopBits, m.stopBits);
    return m;
}

}  // namespace

PresetSource ChoosePresetSource(std::string_view argument)
{
    if (argument.empty())
        return PresetSource::None;
    return argument == kOwnQueueName ? PresetSource::Own : PresetSource::Queue;
}

std::optional<PortSettings> PresetFromSpoolerPort(const PresetQueue& queue, const PortSettings& base)
{
    PortSettings m = base;
    m.portName = queue.port;
    switch (ClassifyQueuePort(queue.port)) {
    case PresetPortKind::Serial:
        m.interfaceType = InterfaceType::Serial;
        DropColon(m.portName);
        ParseSerialLineSettings(queue.lineSettings.value_or(""), m);
        break;
    case PresetPortKind::Parallel:
        m.interfaceType = InterfaceType::Parallel;
        DropColon(m.portName);
        break;
    case PresetPortKind::Usb:
        m.interfaceType = InterfaceType::Usb;
        break;
    case PresetPortKind::TcpIp:
        m.interfaceType = InterfaceType::Ethernet;
        CarryTcpPort(m, queue.portNumber);
        m.portName.erase(0, std::string_view(kPortTcpIpPrefix).size());
        break;
    case PresetPortKind::Net:
    case PresetPortKind::Other:
        return std::nullopt;  // FILE: and the like: the window keeps its defaults
    }
    return m;
}

std::optional<PortSettings> PresetFor(std::string_view argument, const PortSettings& base,
                                      const QueuePresets& queues, const OwnPresetValues& own)
{
    switch (ChoosePresetSource(argument)) {
    case PresetSource::Own:
        return OwnPreset(own, base);
    case PresetSource::Queue:
        return queues.ForQueue(std::string(argument), base);
    case PresetSource::None:
        break;
    }
    return std::nullopt;
}

PresetSelections ApplyPresetSelections(PortSettings& members, const PresetLists& lists)
{
    PresetSelections s;
    switch (members.interfaceType) {
    case InterfaceType::Serial:
        s.port = FindEntryByPrefix(lists.port, members.portName);
        s.baudRate = FindEntryByPrefix(lists.baudRate, std::to_string(members.baudRate));
        s.dataBits = SelectionForCode(lists.dataBitsCount, members.dataBits == 8 ? 0 : 1);
        s.parity = SelectionForCode(lists.parityCount, CodeNumber(members.parity));
        s.stopBits = SelectionForCode(lists.stopBitsCount, CodeNumber(members.stopBits));
        s.flowControl = SelectionForCode(lists.flowControlCount, CodeNumber(members.flowControl));
        break;
    case InterfaceType::Parallel:
        s.port = FindEntryByPrefix(lists.port, members.portName);
        break;
    case InterfaceType::Ethernet: {
        DottedAddress address = SplitDottedAddress(members.portName);
        members.portName = std::move(address.rest);
        if (address.octets) {
            s.ipOctets = address.octets;
            members.tcpPort = members.baudRate;
        }
        break;
    }
    case InterfaceType::Usb:
        break;
    }
    return s;
}

}  // namespace zorvik
