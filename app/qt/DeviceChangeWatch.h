#pragma once
// Wakes the window when the open port's device changes (USB plug and unplug), so the
// window lets the port handle the change between handlers. How the system delivers a
// change is the one system-specific part (a readable descriptor on Linux, a window
// message on Windows): one file per system makes the watch.
#include <functional>
#include <memory>

class QObject;

namespace zorvik {

class Port;

class DeviceChangeWatch {
public:
    virtual ~DeviceChangeWatch() = default;
    // True while the watch follows this port as it is now.
    virtual bool Follows(const Port& port) const = 0;
};

// Calls changed on context's thread whenever port's device changes; null when the
// port follows no device changes.
std::unique_ptr<DeviceChangeWatch> WatchDeviceChanges(Port& port, QObject* context,
                                                      std::function<void()> changed);

}  // namespace zorvik
