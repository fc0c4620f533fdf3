#pragma once
// A long run of bytes for a printer (a command file), written piece by piece so a
// printer that stops taking bytes is noticed: the send ends when no byte has gone
// out for kStallLimitMs. The time is read from the given clock and the waits between
// attempts go through the pacer, so tests need not wait.
#include <chrono>
#include <cstdint>
#include <functional>

#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

class PieceSender {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::uint32_t kPieceSize = 4096;
    static constexpr std::uint32_t kStallLimitMs = 10000;
    // The wait before a piece is offered again after the printer took none of it.
    static constexpr std::uint32_t kRetryPauseMs = 100;

    // An empty clock is the steady clock. pauseBetweenPiecesMs paces whole pieces
    // for an attachment that needs it.
    PieceSender(PrinterLink& link, Pacer& pacer, Clock clock, std::uint32_t pauseBetweenPiecesMs = 0);

    // The bytes that went out; fewer than count when the printer stalled. progress
    // gets the running total after every write that moved bytes.
    std::size_t Send(const std::uint8_t* bytes, std::size_t count,
                     const std::function<void(std::size_t sent)>& progress = {});

private:
    PrinterLink& link_;
    Pacer& pacer_;
    Clock clock_;
    std::uint32_t pauseBetweenPiecesMs_;
};

}  // namespace zorvik
