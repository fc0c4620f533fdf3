#include "link/SystemPortFactory.h"

#include "link/ParallelPort.h"
#include "link/SerialPort.h"
#include "link/UsbPort.h"

namespace zorvik {
namespace {

class SystemPortFactory final : public PortFactory {
public:
    SystemPortFactory(Pacer& pacer, Notifier& notifier, DeviceNames names, NetLimits netLimits)
        : pacer_(pacer), notifier_(notifier), names_(std::move(names)), netLimits_(netLimits)
    {
    }

    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        switch (type) {
        case InterfaceType::Serial:
            return std::make_unique<SerialPort>(pacer_, names_, MakeSystemSerialDevice());
        case InterfaceType::Parallel:
            return std::make_unique<ParallelPort>(names_, MakeSystemParallelDevice());
        case InterfaceType::Ethernet:
            return std::make_unique<NetPort>(pacer_, notifier_, netLimits_);
        case InterfaceType::Usb:
            return MakeSystemUsbPort();
        }
        return nullptr;
    }

private:
    Pacer& pacer_;
    Notifier& notifier_;
    DeviceNames names_;
    NetLimits netLimits_;
};

}  // namespace

std::unique_ptr<PortFactory> MakeSystemPortFactory(Pacer& pacer, Notifier& notifier)
{
    return MakeSystemPortFactory(pacer, notifier, DeviceNames::FromEnvironment());
}

std::unique_ptr<PortFactory> MakeSystemPortFactory(Pacer& pacer, Notifier& notifier, DeviceNames names,
                                                   NetLimits netLimits)
{
    return std::make_unique<SystemPortFactory>(pacer, notifier, std::move(names), netLimits);
}

}  // namespace zorvik
