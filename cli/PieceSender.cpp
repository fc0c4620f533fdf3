#include "cli/PieceSender.h"

#include <algorithm>

namespace zorvik {

PieceSender::PieceSender(PrinterLink& link, Pacer& pacer, Clock clock, std::uint32_t pauseBetweenPiecesMs)
    : link_(link), pacer_(pacer), clock_(std::move(clock)), pauseBetweenPiecesMs_(pauseBetweenPiecesMs)
{
    if (!clock_)
        clock_ = [] { return std::chrono::steady_clock::now(); };
}

std::size_t PieceSender::Send(const std::uint8_t* bytes, std::size_t count,
                              const std::function<void(std::size_t sent)>& progress)
{
    const auto limit = std::chrono::milliseconds(kStallLimitMs);
    std::size_t sent = 0;
    auto lastProgress = clock_();
    while (sent < count) {
        const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(count - sent, kPieceSize));
        const int n = link_.Write(bytes + sent, piece);
        if (n > 0) {
            sent += std::min<std::size_t>(static_cast<std::size_t>(n), piece);
            lastProgress = clock_();
            if (progress)
                progress(sent);
            if (static_cast<std::uint32_t>(n) >= piece && sent < count && pauseBetweenPiecesMs_ > 0)
                pacer_.Pause(pauseBetweenPiecesMs_);
            continue;
        }
        if (clock_() - lastProgress >= limit)
            break;
        pacer_.Pause(kRetryPauseMs);
    }
    return sent;
}

}  // namespace zorvik
