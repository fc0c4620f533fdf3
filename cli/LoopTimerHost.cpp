#include "cli/LoopTimerHost.h"

#include <algorithm>

namespace zorvik {

void LoopTimerHost::Arm(int id, std::uint32_t ms)
{
    Stop(id);
    armed_.push_back({id, ms});
}

void LoopTimerHost::Stop(int id)
{
    std::erase_if(armed_, [id](const Pending& a) { return a.id == id; });
}

bool LoopTimerHost::Run(TimerClient& client, Pacer& pacer, std::uint64_t maxTicks)
{
    for (std::uint64_t tick = 0; tick < maxTicks; ++tick) {
        if (armed_.empty())
            return true;
        const Pending next = armed_.front();
        pacer.Pause(next.ms);
        // The client stops its own timer; a timer it did not stop fires once only.
        Stop(next.id);
        client.OnTimer(next.id);
    }
    return armed_.empty();
}

}  // namespace zorvik
