#include "base/Pacer.h"

#include <chrono>
#include <numeric>
#include <thread>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace zorvik {

namespace {

// A pause is the printer's own timing: it should end when it is due, not a timer
// tick later, which adds up over the hundreds of short pauses of a font download.
// The thread sleeps with the smallest timer slack to just before the end and yields
// for the last fraction of a millisecond.
constexpr auto kYieldWindow = std::chrono::microseconds(200);

void TightenTimerSlack()
{
#if defined(__linux__)
    thread_local const bool done = [] {
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        return true;
    }();
    (void)done;
#endif
}

}  // namespace

void SystemPacer::Pause(std::uint32_t ms)
{
    TightenTimerSlack();
    using Clock = std::chrono::steady_clock;
    const auto due = Clock::now() + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(due - kYieldWindow);
    while (Clock::now() < due)
        std::this_thread::yield();
}

std::uint64_t VirtualPacer::Total() const
{
    return std::accumulate(pauses_.begin(), pauses_.end(), std::uint64_t{0});
}

}  // namespace zorvik
