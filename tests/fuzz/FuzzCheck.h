#pragma once
// A broken property stops the fuzz target at once, with or without a fuzzing engine.
#include <cstdlib>

namespace zorvik::fuzz {

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace zorvik::fuzz
