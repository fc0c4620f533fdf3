#pragma once
// One-shot timers for a TimerClient, backed by Qt timers on the window thread.
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "base/TimerHost.h"

namespace zorvik {

class QtTimerHost final : public TimerHost {
public:
    explicit QtTimerHost(TimerClient& client) : client_(client) {}
    void Arm(int id, std::uint32_t ms) override;
    void Stop(int id) override;
    bool Armed(int id) const;

private:
    TimerClient& client_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace zorvik
