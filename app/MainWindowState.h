#pragma once
// The main window without widgets: its members, the six lists with their entries,
// selections and enable states, the enable states of the fields and buttons, and
// every handler. The Qt window collects its fields into this class before a handler
// and shows them afterwards.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ConnectionCheck.h"
#include "app/ToolLauncher.h"
#include "app/WindowPreset.h"
#include "base/Notifier.h"
#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

enum class MainList { Port, BaudRate, DataBits, Parity, StopBits, FlowControl };
inline constexpr int kMainListCount = 6;

struct ListControl {
    std::vector<std::string> entries;
    // What each entry stands for, shown as its tooltip; empty for none. The Port list
    // names the device file behind a port name here.
    std::vector<std::string> tips;
    int selection = -1;  // -1: no entry selected
    bool enabled = false;

    bool HasSelection() const { return selection >= 0 && selection < static_cast<int>(entries.size()); }
    std::string SelectedText() const
    {
        return HasSelection() ? entries[static_cast<std::size_t>(selection)] : std::string();
    }
    void Select(int index)
    {
        selection = index >= 0 && index < static_cast<int>(entries.size()) ? index : -1;
    }
};

// What the window learns from the system. Each is optional.
struct MainWindowHooks {
    // Port-list entries of the attached USB printers ("LXT-640IV:" and the device path).
    std::function<std::vector<std::string>()> discoverUsb;
    // The serial devices the system has, as device paths.
    std::function<std::vector<std::string>()> serialDevices;
    // The device path a listed port name stands for (empty: none), so that devices the
    // listed names already cover are not listed twice.
    std::function<std::string(const std::string&)> devicePathOf;
    // Reads the port-name map again; called each time the port list is filled, so an
    // edit of the map file shows without a restart.
    std::function<void()> reloadDeviceNames;
    // Shows the fields in the controls; called before a long pause so that the window
    // paints the new enable states while it waits.
    std::function<void()> render;
};

class MainWindowState {
public:
    MainWindowState(PrinterLink& link, Pacer& pacer, Notifier& notifier, ToolLauncher& tools,
                    MainWindowHooks hooks = {}, QueueRedirector* queues = nullptr,
                    WindowPreset* preset = nullptr);
    ~MainWindowState();
    MainWindowState(const MainWindowState&) = delete;
    MainWindowState& operator=(const MainWindowState&) = delete;

    // Opening of the window: default address and TCP port, the serial lists with the
    // start selections, then the preset named by the argument, if any.
    void Open(std::optional<std::string> argument = std::nullopt);

    // Handlers. Each list change or interface choice drops the connection.
    void ChooseInterface(InterfaceType type);
    void ChooseEntry(MainList list, int index);
    void CheckCommunication();
    void SelfTest();
    enum class ToolEnd { StayOpen, CloseWindow };
    ToolEnd RunManager();
    void RunCommandEditor();
    // Asks the connected printer for its real-time state and shows it in the health
    // line; runs after every successful check and on the line's refresh button.
    void RefreshHealth();
    // Closing of the window: closes the link and gives the printer queues their ports
    // back. Safe to call more than once.
    void Close();

    // Fills the lists for an interface type (and, for USB, falls back to serial when no
    // printer is found).
    void FillLists(InterfaceType type);
    // Closes the link and resets the buttons when connected; nothing otherwise.
    void DropConnection();
    // The settings the check hands to the link, taken from the lists and fields; lists
    // without a selection keep the previous member values.
    PortSettings CollectSettings();
    // Switches to Ethernet at the given address and TCP port (the demo and presets).
    void PresetEthernet(const std::array<std::uint8_t, 4>& address, std::uint32_t port);

    bool Connected() const { return check_.Connected(); }
    ListControl& List(MainList list) { return lists_[static_cast<std::size_t>(list)]; }
    const ListControl& List(MainList list) const { return lists_[static_cast<std::size_t>(list)]; }
    PrinterLink& Link() { return link_; }

    // Members, as the window exchanges them with its controls.
    // The interface, port and line as chosen; the TCP port while Ethernet is chosen.
    PortSettings settings{.baudRate = 9600, .dataBits = 8};
    std::array<std::uint8_t, 4> ipAddress{};
    std::optional<std::string> argument;

    // Enable states of the controls that are not lists.
    bool ipEnabled = false;
    bool tcpPortEnabled = false;
    bool checkEnabled = true;
    bool selfTestEnabled = false;
    bool runManagerEnabled = false;
    bool commandEditorEnabled = false;
    // The printer's state in one line below the controls; empty (hidden) while not
    // connected, and its refresh button usable only while connected.
    std::string healthLine;
    bool healthRefreshEnabled = false;

private:
    void Render();
    void SetSerialListsEnabled(bool enabled);
    std::vector<std::string> SerialPortEntries() const;
    void ReloadDeviceNames();
    // "COM3 → /dev/ttyUSB0" for each name with a device file behind it other than itself.
    std::vector<std::string> DeviceTips(const std::vector<std::string>& names) const;

    PrinterLink& link_;
    Pacer& pacer_;
    Notifier& notifier_;
    ToolLauncher& tools_;
    MainWindowHooks hooks_;
    QueueRedirector* queues_;
    WindowPreset* preset_;
    ConnectionCheck check_;
    std::array<ListControl, kMainListCount> lists_;
    bool closed_ = false;
};

// "%d.%d.%d.%d" of the four octets.
std::string FormatIpAddress(const std::array<std::uint8_t, 4>& address);

}  // namespace zorvik
