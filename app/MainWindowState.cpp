#include "app/MainWindowState.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/HealthTexts.h"
#include "resources/MainTexts.h"
#include "settings/PrinterExchange.h"

namespace zorvik {
namespace {

template <std::size_t N> std::vector<std::string> Entries(const std::array<const char*, N>& texts)
{
    return {texts.begin(), texts.end()};
}

// The decimal number an entry starts with; nothing for text that is not one.
template <typename T> std::optional<T> ParseDecimal(const std::string& text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

}  // namespace

std::string FormatIpAddress(const std::array<std::uint8_t, 4>& a)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return text;
}

MainWindowState::MainWindowState(PrinterLink& link, Pacer& pacer, Notifier& notifier, ToolLauncher& tools,
                                 MainWindowHooks hooks, QueueRedirector* queues, WindowPreset* preset)
    : link_(link), pacer_(pacer), notifier_(notifier), tools_(tools), hooks_(std::move(hooks)),
      queues_(queues), preset_(preset), check_(link, pacer, notifier, queues)
{
    List(MainList::BaudRate).entries = Entries(kBaudRates);
    List(MainList::DataBits).entries = Entries(kDataBits);
    List(MainList::Parity).entries = Entries(kParities);
    List(MainList::StopBits).entries = Entries(kStopBits);
    List(MainList::FlowControl).entries = Entries(kFlowControls);
}

MainWindowState::~MainWindowState()
{
    Close();
}

void MainWindowState::Render()
{
    if (hooks_.render)
        hooks_.render();
}

void MainWindowState::Open(std::optional<std::string> arg)
{
    closed_ = false;
    ipAddress = kDefaultIpAddress;
    settings.tcpPort = kDefaultTcpPort;
    FillLists(InterfaceType::Serial);
    List(MainList::Port).Select(0);
    List(MainList::BaudRate).Select(kOpeningBaudIndex);
    List(MainList::DataBits).Select(0);
    List(MainList::Parity).Select(0);
    List(MainList::StopBits).Select(0);
    List(MainList::FlowControl).Select(0);

    argument = std::move(arg);
    if (argument && preset_)
        preset_->Load(*this);
}

void MainWindowState::SetSerialListsEnabled(bool enabled)
{
    for (MainList list : {MainList::BaudRate, MainList::DataBits, MainList::Parity, MainList::StopBits,
                          MainList::FlowControl})
        List(list).enabled = enabled;
}

std::vector<std::string> MainWindowState::SerialPortEntries() const
{
    std::vector<std::string> entries = Entries(kSerialPortNames);
    if (!hooks_.serialDevices)
        return entries;
    std::set<std::string> covered(entries.begin(), entries.end());
    if (hooks_.devicePathOf) {
        for (const auto& name : entries) {
            const std::string path = hooks_.devicePathOf(name);
            if (!path.empty())
                covered.insert(path);
        }
    }
    for (const auto& device : hooks_.serialDevices()) {
        if (!device.empty() && covered.insert(device).second)
            entries.push_back(device);
    }
    return entries;
}

void MainWindowState::ReloadDeviceNames()
{
    if (hooks_.reloadDeviceNames)
        hooks_.reloadDeviceNames();
}

std::vector<std::string> MainWindowState::DeviceTips(const std::vector<std::string>& names) const
{
    std::vector<std::string> tips;
    tips.reserve(names.size());
    for (const auto& name : names) {
        const std::string path = hooks_.devicePathOf ? hooks_.devicePathOf(name) : std::string();
        tips.push_back(path.empty() || path == name ? std::string() : name + kPortDeviceArrow + path);
    }
    return tips;
}

void MainWindowState::FillLists(InterfaceType type)
{
    ListControl& port = List(MainList::Port);
    port.entries.clear();
    port.tips.clear();
    port.selection = -1;
    port.enabled = false;
    SetSerialListsEnabled(false);
    ipEnabled = false;
    tcpPortEnabled = false;

    switch (type) {
    case InterfaceType::Parallel:
        ReloadDeviceNames();
        port.entries = Entries(kParallelPortNames);
        port.tips = DeviceTips(port.entries);
        port.enabled = true;
        break;
    case InterfaceType::Serial: {
        ReloadDeviceNames();
        port.entries = SerialPortEntries();
        port.tips = DeviceTips(port.entries);
        ListControl& baud = List(MainList::BaudRate);
        baud.entries = Entries(kBaudRates);
        baud.Select(kSerialChoiceBaudIndex);
        SetSerialListsEnabled(true);
        port.enabled = true;
        break;
    }
    case InterfaceType::Ethernet:
        ipEnabled = true;
        tcpPortEnabled = true;
        if (settings.portName.empty()) {
            ipAddress = kDefaultIpAddress;
            settings.portName = FormatIpAddress(ipAddress);
            settings.tcpPort = kDefaultTcpPort;
        }
        settings.interfaceType = InterfaceType::Ethernet;
        Render();
        break;
    case InterfaceType::Usb: {
        port.entries = hooks_.discoverUsb ? hooks_.discoverUsb() : std::vector<std::string>{};
        if (port.entries.empty()) {
            notifier_.Show(kMsgUsbNotConnected, kTitleInformation, MessageIcon::Information);
            settings.interfaceType = InterfaceType::Serial;
            FillLists(InterfaceType::Serial);
            List(MainList::BaudRate).Select(kOpeningBaudIndex);
            for (MainList list :
                 {MainList::DataBits, MainList::Parity, MainList::StopBits, MainList::FlowControl})
                List(list).Select(0);
        }
        List(MainList::Port).Select(0);
        List(MainList::Port).enabled = true;
        Render();
        return;
    }
    }
    if (argument && preset_)
        preset_->ApplySelections(*this);
}

void MainWindowState::DropConnection()
{
    if (!check_.Connected())
        return;
    selfTestEnabled = false;
    runManagerEnabled = false;
    commandEditorEnabled = false;
    healthLine.clear();
    healthRefreshEnabled = false;
    check_.Drop();
    checkEnabled = true;
}

void MainWindowState::ChooseInterface(InterfaceType type)
{
    DropConnection();
    settings.interfaceType = type;
    switch (type) {
    case InterfaceType::Serial:
        settings.portName = kSerialDefaultPortName;
        FillLists(InterfaceType::Serial);
        List(MainList::Port).Select(0);
        List(MainList::BaudRate).Select(kSerialChoiceBaudIndex);
        List(MainList::DataBits).Select(0);
        break;
    case InterfaceType::Parallel:
        settings.portName = kParallelDefaultPortName;
        FillLists(InterfaceType::Parallel);
        List(MainList::Port).Select(0);
        break;
    case InterfaceType::Usb:
        FillLists(InterfaceType::Usb);
        List(MainList::Port).Select(0);
        Render();
        break;
    case InterfaceType::Ethernet:
        FillLists(InterfaceType::Ethernet);
        break;
    }
}

void MainWindowState::ChooseEntry(MainList which, int index)
{
    ListControl& list = List(which);
    if (index < 0 || index >= static_cast<int>(list.entries.size()) || index == list.selection)
        return;
    list.selection = index;
    DropConnection();
}

PortSettings MainWindowState::CollectSettings()
{
    if (settings.interfaceType == InterfaceType::Ethernet) {
        settings.portName = FormatIpAddress(ipAddress);
        PortSettings network;
        network.interfaceType = InterfaceType::Ethernet;
        network.portName = settings.portName;
        network.tcpPort = settings.tcpPort;
        return network;
    }
    if (List(MainList::Port).HasSelection())
        settings.portName = List(MainList::Port).SelectedText();
    if (const auto baud = ParseDecimal<std::uint32_t>(List(MainList::BaudRate).SelectedText()))
        settings.baudRate = *baud;
    if (const auto bits = ParseDecimal<std::int32_t>(List(MainList::DataBits).SelectedText()))
        settings.dataBits = *bits;
    if (List(MainList::Parity).HasSelection())
        settings.parity = CodeFromNumber<Parity>(List(MainList::Parity).selection);
    if (List(MainList::StopBits).HasSelection())
        settings.stopBits = CodeFromNumber<StopBits>(List(MainList::StopBits).selection);
    if (List(MainList::FlowControl).HasSelection())
        settings.flowControl = CodeFromNumber<FlowControl>(List(MainList::FlowControl).selection);

    // A cabled port is found by its name alone: no TCP port goes with it.
    PortSettings cabled = settings;
    cabled.tcpPort = 0;
    cabled.timeouts = kCabledPortTimeouts;
    return cabled;
}

void MainWindowState::CheckCommunication()
{
    if (check_.Connected())
        return;
    const PortSettings wanted = CollectSettings();
    if (!check_.Run(wanted.interfaceType, wanted))
        return;
    selfTestEnabled = true;
    runManagerEnabled = true;
    commandEditorEnabled = true;
    checkEnabled = false;
    RefreshHealth();
}

void MainWindowState::SelfTest()
{
    if (!check_.Connected())
        return;
    runManagerEnabled = false;
    commandEditorEnabled = false;
    Render();
    link_.Write(kCmdSelfTest, sizeof kCmdSelfTest);
    pacer_.Pause(kSelfTestWaitMs);
    runManagerEnabled = true;
    commandEditorEnabled = true;
}

MainWindowState::ToolEnd MainWindowState::RunManager()
{
    if (!check_.Connected())
        return ToolEnd::StayOpen;
    if (!tools_.RunStatusDialog(link_, settings.interfaceType))
        return ToolEnd::StayOpen;
    Close();
    return ToolEnd::CloseWindow;
}

void MainWindowState::RunCommandEditor()
{
    if (check_.Connected())
        tools_.RunCommandEditor(link_, settings.interfaceType);
}

void MainWindowState::RefreshHealth()
{
    if (!check_.Connected())
        return;
    // The line shows the old state as asked while the request runs.
    healthRefreshEnabled = false;
    Render();
    PrinterExchange exchange(link_, settings.interfaceType, pacer_);
    PrinterHealth health;
    exchange.ReadHealth(health);
    healthLine = kHealthLinePrefix + health.Summary();
    healthRefreshEnabled = true;
}

void MainWindowState::PresetEthernet(const std::array<std::uint8_t, 4>& address, std::uint32_t port)
{
    ChooseInterface(InterfaceType::Ethernet);
    ipAddress = address;
    settings.portName = FormatIpAddress(address);
    settings.tcpPort = port;
}

void MainWindowState::Close()
{
    if (closed_)
        return;
    closed_ = true;
    DropConnection();
    if (queues_)
        queues_->RestoreAll();
}

}  // namespace zorvik
