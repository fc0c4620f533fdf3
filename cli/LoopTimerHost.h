#pragma once
// One-shot timers for a program without an event loop: Run pauses for the armed
// timer (through the pacer) and fires it, over and over, until none is armed. The
// font download is driven this way, block by block, as the window's timers drive it.
#include <cstdint>
#include <vector>

#include "base/Pacer.h"
#include "base/TimerHost.h"

namespace zorvik {

class LoopTimerHost final : public TimerHost {
public:
    void Arm(int id, std::uint32_t ms) override;
    void Stop(int id) override;
    bool Armed() const { return !armed_.empty(); }

    // Fires armed timers in the order they were armed until none is left, or until
    // maxTicks timers have fired (a bound against a client that re-arms forever).
    // True when the timers ran out on their own.
    bool Run(TimerClient& client, Pacer& pacer, std::uint64_t maxTicks = 10'000'000);

private:
    struct Pending {
        int id;
        std::uint32_t ms;
    };
    std::vector<Pending> armed_;
};

}  // namespace zorvik
