#pragma once
// The factory the program uses: it makes the real ports of this system.
#include <memory>

#include "base/Notifier.h"
#include "base/Pacer.h"
#include "link/DeviceNames.h"
#include "link/NetPort.h"
#include "link/PrinterLink.h"

namespace zorvik {

// Port names are mapped with DeviceNames::FromEnvironment().
std::unique_ptr<PortFactory> MakeSystemPortFactory(Pacer& pacer, Notifier& notifier);
std::unique_ptr<PortFactory> MakeSystemPortFactory(Pacer& pacer, Notifier& notifier, DeviceNames names,
                                                   NetLimits netLimits = {});

}  // namespace zorvik
