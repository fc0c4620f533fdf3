#pragma once
// What the tool takes from its surroundings. The program uses the system's pacer and
// ports; tests hand in a recording pacer so no pause is slept.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/PresetSources.h"
#include "base/Notifier.h"
#include "base/Pacer.h"
#include "link/PrinterLink.h"
#include "link/UsbDiscovery.h"

namespace zorvik {

struct CliEnv {
    // One pacer per printer; empty: a SystemPacer.
    std::function<std::unique_ptr<Pacer>()> makePacer;
    // One port factory per printer; empty: the system's ports.
    std::function<std::unique_ptr<PortFactory>(Pacer&, Notifier&)> makePortFactory;
    // The time for the limits of long transfers; empty: the steady clock.
    std::function<std::chrono::steady_clock::time_point()> clock;
    // The printer queues and own settings --queue presets the port from; empty: the system's.
    std::function<std::unique_ptr<QueuePresets>()> makeQueuePresets;
    std::function<std::unique_ptr<OwnPresetValues>()> makeOwnPresetValues;
    UsbEnv usb;
    std::string sysfsRoot = "/sys";
    bool errIsTerminal = false;
};

}  // namespace zorvik
