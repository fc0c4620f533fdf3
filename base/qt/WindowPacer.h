#pragma once
// The windows' pacer: while an exchange pauses, the window keeps painting and timer
// and device-change events are delivered, but no user input is taken, so no handler
// is entered a second time. The input is held back by the toolkit; the exchange's
// ExchangeHold drops it when the exchange ends, so it is never carried out late.
#include "base/Pacer.h"

namespace zorvik {

class WindowPacer final : public Pacer {
public:
    void Pause(std::uint32_t ms) override;
};

}  // namespace zorvik
