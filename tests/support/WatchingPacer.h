#pragma once
// A pacer that records every pause and returns at once, running a callback at each
// so a test can look at (or click in) a window while an exchange waits.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/Pacer.h"

namespace zorvik::test {

class WatchingPacer final : public Pacer {
public:
    std::function<void(std::uint32_t)> onPause;
    std::vector<std::uint32_t> pauses;
    void Pause(std::uint32_t ms) override
    {
        pauses.push_back(ms);
        if (onPause)
            onPause(ms);
    }
};

}  // namespace zorvik::test
