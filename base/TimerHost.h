#pragma once
// One-shot timers behind an interface. The windows back them with Qt timers, tests
// and the command-line tool fire them by hand. The host calls the client's
// OnTimer(id) on the thread that armed the timer.
#include <cstdint>

namespace zorvik {

class TimerClient {
public:
    virtual ~TimerClient() = default;
    virtual void OnTimer(int id) = 0;
};

class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual void Arm(int id, std::uint32_t ms) = 0;
    virtual void Stop(int id) = 0;
};

}  // namespace zorvik
