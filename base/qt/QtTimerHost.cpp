#include "base/qt/QtTimerHost.h"

namespace zorvik {

void QtTimerHost::Arm(int id, std::uint32_t ms)
{
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { client_.OnTimer(id); });
    }
    timer->start(static_cast<int>(ms));
}

void QtTimerHost::Stop(int id)
{
    auto it = timers_.find(id);
    if (it != timers_.end())
        it->second->stop();
}

bool QtTimerHost::Armed(int id) const
{
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

}  // namespace zorvik
