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
void CarryTcpPort(PresetMembers& m, std::optional<std::uint32_t> port)
{
    m.baudRate = port.value_or(m.tcpPort);
}

void ReadCode(const PresetStore& store, std::string_view name, std::int32_t& member)
{
    if (const auto value = store.OwnNumber(name))
        member = static_cast<std::int32_t>(*value);
}

}  // namespace

PresetSource ChoosePresetSource(std::string_view argument)
{
    if (argument.empty())
        return PresetSource::None;
    return argument == kOwnQueueName ? PresetSource::Own : PresetSource::Queue;
}

bool RunQueuePreset(const PresetStore& store, const std::string& queue, PresetMembers& members)
{
    const auto found = store.FindQueue(queue);
    if (!found)
        return false;
    PresetMembers m = members;
    m.portName = found->port;
    switch (ClassifyQueuePort(found->port)) {
    case PresetPortKind::Serial: {
        m.interfaceType = Serial;
        DropColon(m.portName);
        SerialLine line{m.baudRate, m.dataBits, m.parity, m.stopBits, m.flowControl};
        ParseSerialLineSettings(found->lineSettings.value_or(""), line);
        m.baudRate = line.baudRate;
        m.dataBits = line.dataBits;
        m.parity = line.parity;
        m.stopBits = line.stopBits;
        m.flowControl = line.flowControl;
        break;
    }
    case PresetPortKind::Parallel:
        m.interfaceType = Parallel;
        DropColon(m.portName);
        break;
    case PresetPortKind::Usb:
        m.interfaceType = Usb;
        break;
    case PresetPortKind::TcpIp:
        m.interfaceType = Ethernet;
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

bool RunOwnPreset(const PresetStore& store, PresetMembers& members)
{
    const auto port = store.OwnText(kValuePort);
    if (!port)
        return false;
    PresetMembers m = members;
    m.portName = *port;
    switch (ClassifyOwnPort(*port)) {
    case PresetPortKind::Serial:
        m.interfaceType = Serial;
        break;
    case PresetPortKind::Parallel:
        m.interfaceType = Parallel;
        break;
    case PresetPortKind::Usb:
        m.interfaceType = Usb;
        m.portName += store.OwnText(kValueUsbdeviceName).value_or("");
        break;
    case PresetPortKind::Net:
        m.interfaceType = Ethernet;
        m.portName = store.OwnText(kValueTcpIp).value_or("");
        CarryTcpPort(m, std::nullopt);
        break;
    case PresetPortKind::TcpIp:
    case PresetPortKind::Other:
        return false;
    }
    if (const auto rate = store.OwnNumber(m.interfaceType == Serial ? kValueBaudRate : kValueTcpPort))
        m.baudRate = *rate;
    ReadCode(store, kValueDataBits, m.dataBits);
    ReadCode(store, kValueFlowControl, m.flowControl);
    ReadCode(store, kValueParity, m.parity);
    ReadCode(store, kValueStopBits, m.stopBits);
    members = m;
    return true;
}

bool RunPreset(const PresetStore& store, const std::string& argument, PresetMembers& members)
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

PresetSelections ApplyPresetSelections(PresetMembers& members, const PresetLists& lists)
{
    PresetSelections s;
    switch (members.interfaceType) {
    case Serial:
        s.port = FindEntryByPrefix(lists.port, members.portName);
        s.baudRate = FindEntryByPrefix(lists.baudRate, std::to_string(members.baudRate));
        s.dataBits = SelectionForCode(lists.dataBitsCount, members.dataBits == 8 ? 0 : 1);
        s.parity = SelectionForCode(lists.parityCount, members.parity);
        s.stopBits = SelectionForCode(lists.stopBitsCount, members.stopBits);
        s.flowControl = SelectionForCode(lists.flowControlCount, members.flowControl);
        break;
    case Parallel:
        s.port = FindEntryByPrefix(lists.port, members.portName);
        break;
    case Ethernet: {
        DottedAddress address = SplitDottedAddress(members.portName);
        members.portName = std::move(address.rest);
        if (address.octets) {
            s.ipOctets = address.octets;
            members.tcpPort = members.baudRate;
        }
        break;
    }
    case Usb:
        break;
    }
    return s;
}

}  // namespace zorvik
