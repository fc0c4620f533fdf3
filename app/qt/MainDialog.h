#pragma once
// The main window: interface type, communication settings, the connection check,
// the self test and the tool buttons. It owns the one printer link; its state and
// handlers live in MainWindowState, this class shows them and collects the fields.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/MainWindowState.h"
#include "app/qt/DeviceChangeWatch.h"
#include "base/qt/BusyGuard.h"
#include "base/qt/QtNotifier.h"
#include "base/qt/WindowPacer.h"

class QAbstractButton;
class QComboBox;

namespace Ui {
class MainDialog;
}

namespace zorvik {

struct MainDialogSetup {
    // Makes the ports, given the window's pacer and notifier. None: no port can be made.
    std::function<std::unique_ptr<PortFactory>(Pacer&, Notifier&)> makePorts;
    Pacer* pacer = nullptr;         // null: the window's own pacer
    ToolLauncher* tools = nullptr;  // null: the real tool dialogs
    MainWindowHooks hooks;          // USB discovery and the system's serial devices
    QueueRedirector* queues = nullptr;
    WindowPreset* preset = nullptr;
    std::optional<std::string> argument;  // the command-line argument, taken whole
};

class MainDialog : public QDialog {
    Q_OBJECT
public:
    explicit MainDialog(MainDialogSetup setup = {}, QWidget* parent = nullptr);
    ~MainDialog() override;

    MainWindowState& State() { return *state_; }
    PrinterLink& Link() { return link_; }
    // Switches to Ethernet at this address and TCP port and shows it.
    void PresetEthernet(const std::array<std::uint8_t, 4>& address, std::uint32_t port);

public slots:
    void ShowAbout();
    void done(int result) override;

private:
    template <typename Handler> void Handle(Handler&& handler);
    void Collect();
    void Render();
    QComboBox* ListWidget(MainList list) const;
    QAbstractButton* RadioFor(InterfaceType type) const;
    void OnRunManager();
    // Follows the device changes of the open port (USB plug and unplug) between transfers.
    void SyncDeviceWatch();

    std::unique_ptr<Ui::MainDialog> ui_;
    QtNotifier notifier_;
    WindowPacer windowPacer_;
    Pacer& pacer_;
    PrinterLink link_;
    std::unique_ptr<ToolLauncher> ownTools_;
    BusyState busy_;
    std::unique_ptr<MainWindowState> state_;
    std::unique_ptr<DeviceChangeWatch> deviceWatch_;
};

}  // namespace zorvik
