// Device changes on Linux: the port's pollable descriptor turns readable.
#include <QSocketNotifier>

#include "app/qt/DeviceChangeWatch.h"
#include "link/Port.h"

namespace zorvik {
namespace {

class SocketDeviceChangeWatch final : public DeviceChangeWatch {
public:
    SocketDeviceChangeWatch(const Port& port, int handle, QObject* context, std::function<void()> changed)
        : port_(port), handle_(handle), notifier_(handle, QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, context, std::move(changed));
    }
    bool Follows(const Port& port) const override
    {
        return &port == &port_ && port.DeviceEventHandle() == handle_;
    }

private:
    const Port& port_;
    int handle_;
    QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<DeviceChangeWatch> WatchDeviceChanges(Port& port, QObject* context,
                                                      std::function<void()> changed)
{
    const int handle = port.DeviceEventHandle();
    if (handle < 0)
        return nullptr;
    return std::make_unique<SocketDeviceChangeWatch>(port, handle, context, std::move(changed));
}

}  // namespace zorvik
