#include "app/qt/SystemServices.h"

#include <memory>

#include "link/DeviceNames.h"
#include "link/SystemDevices.h"
#include "link/SystemPortFactory.h"
#include "link/UsbDiscovery.h"

namespace zorvik {
namespace {

// The system's ports, each made with the port-name map as last read, so that an edit
// of the map file takes effect at the next fill of the Port list.
class MappedPortFactory final : public PortFactory {
public:
    MappedPortFactory(Pacer& pacer, Notifier& notifier, std::shared_ptr<const DeviceNames> names)
        : pacer_(pacer), notifier_(notifier), names_(std::move(names))
    {
    }
    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        // Each port keeps its own copy of the names.
        return MakeSystemPortFactory(pacer_, notifier_, *names_)->Make(type);
    }

private:
    Pacer& pacer_;
    Notifier& notifier_;
    std::shared_ptr<const DeviceNames> names_;
};

}  // namespace

MainDialogSetup SystemSetup()
{
    MainDialogSetup setup;
    auto names = std::make_shared<DeviceNames>(DeviceNames::FromEnvironment());
    setup.makePorts = [names](Pacer& pacer, Notifier& notifier) {
        return std::make_unique<MappedPortFactory>(pacer, notifier, names);
    };
    setup.hooks.discoverUsb = [] {
        // Read on every discovery, so an edited id list counts without a restart.
        UsbEnv env;
        env.printerIds = PrinterUsbIdsFromEnvironment();
        return DiscoverUsbPrinters(env);
    };
    setup.hooks.serialDevices = [] { return ListSerialDevices(); };
    setup.hooks.reloadDeviceNames = [names] { *names = DeviceNames::FromEnvironment(); };
    setup.hooks.devicePathOf = [names](const std::string& portName) { return names->DevicePath(portName); };
    return setup;
}

}  // namespace zorvik
