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

template <typename Code> void ReadCode(const PresetStore& store, std::string_view name, Code& member)
{
    if (const auto value = store.OwnNumber(name))
        member = CodeFromNumber<Code>(*value);
}

}  // namespace

PresetSource ChoosePresetSource(std::string_view argument)
{
    if (argument.empty())
        return PresetSource::None;
    return argument == kOwnQueueName ? PresetSource::Own : PresetSource::Queue;
}

bool RunQueuePreset(const PresetStore& store, const std::string& queue, PortSettings& members)
{
    const auto found = store.FindQueue(queue);
    if (!found)
        return false;
    PortSettings m = members;
    m.portName = found->port;
    switch (ClassifyQueuePort(found->port)) {
    case PresetPortKind::Serial: {
        m.interfaceType = InterfaceType::Serial;
        DropColon(m.portName);
        ParseSerialLineSettings(found->lineSettings.value_or(""), m);
        break;
    }
    case PresetPortKind::Parallel:
        m.interfaceType = InterfaceType::Parallel;
        DropColon(m.portName);
        break;
    case PresetPortKind::Usb:
        m.interfaceType = InterfaceType::Usb;
        break;
    case PresetPortKind::TcpIp:
        m.interfaceType = InterfaceType::Ethernet;
        CarryTcpPort(m, found->portNumber);
        m.portName.erase(0, std::string_view(kPortTcpIpPrefix).size());
        break;
    case PresetPortKind::Net:
    case PresetPortKind::Other:
        return false;  // FILE: and the like: the window keeps its defaults
    }
    members = m;
    return true;
}

bool RunOwnPreset(const PresetStore& store, PortSettings& members)
{
    const auto port = store.OwnText(kValuePort);
    if (!port)
        return false;
    PortSettings m = members;
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
        m.portName += store.OwnText(kValueUsbdeviceName).value_or("");
        break;
    case PresetPortKind::Net:
        m.interfaceType = InterfaceType::Ethernet;
        m.portName = store.OwnText(kValueTcpIp).value_or("");
        CarryTcpPort(m, std::nullopt);
        break;
    case PresetPortKind::TcpIp:
    case PresetPortKind::Other:
        return false;
    }
    if (const auto rate =
            store.OwnNumber(m.interfaceType == InterfaceType::Serial ? kValueBaudRate : kValueTcpPort))
        m.baudRate = *rate;
    ReadCode(store, kValueDataBits, m.dataBits);
    ReadCode(store, kValueFlowControl, m.flowControl);
    ReadCode(store, kValueParity, m.parity);
    ReadCode(store, kValueStopBits, m.stopBits);
    members = m;
    return true;
}

bool RunPreset(const PresetStore& store, const std::string& argument, PortSettings& members)
{
    switch (ChoosePresetSource(argument)) {
    case PresetSource::Own:
        return RunOwnPreset(store, members);
    case PresetSource::Queue:
        return RunQueuePreset(store, argument, members);
    case PresetSource::None:
        break;
    }
    return false;
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
