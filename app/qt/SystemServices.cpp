#include "app/qt/SystemServices.h"

#include <memory>

#include "link/DeviceNames.h"
#include "link/SystemPortFactory.h"
#include "link/UsbDiscovery.h"

namespace zorvik {

MainDialogSetup SystemSetup()
{
    MainDialogSetup setup;
    setup.makePorts = [](Pacer& pacer, Notifier& notifier) { return MakeSystemPortFactory(pacer, notifier); };
    setup.hooks.discoverUsb = [] { return DiscoverUsbPrinters(); };
    setup.hooks.serialDevices = [] { return ListSerialDevices(); };
    auto names = std::make_shared<DeviceNames>(DeviceNames::FromEnvironment());
    setup.hooks.devicePathOf = [names](const std::string& portName) { return names->DevicePath(portName); };
    return setup;
}

}  // namespace zorvik
