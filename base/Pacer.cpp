#include "base/Pacer.h"

#include <chrono>
#include <numeric>
#include <thread>

namespace zorvik {

void SystemPacer::Pause(std::uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t VirtualPacer::Total() const
{
    return std::accumulate(pauses_.begin(), pauses_.end(), std::uint64_t{0});
}

}  // namespace zorvik
