#include "settings/FontDownload.h"

#include <algorithm>

namespace zorvik {

void FontDownload::Reset()
{
    image_.clear();
    image_.shrink_to_fit();
    position_ = 0;
    remaining_ = 0;
    blockCounter_ = 0;
}

void FontDownload::Start(std::vector<std::uint8_t> image)
{
    Reset();
    image_ = std::move(image);
    remaining_ = static_cast<std::uint32_t>(image_.size());
    blockCounter_ = 1;
    const auto first = std::min<std::uint32_t>(kFirstPiece, remaining_);
    if (first == 0)
        return;
    const int n = link_.Write(image_.data(), first);
    if (n > 0) {
        remaining_ -= static_cast<std::uint32_t>(n);
        position_ += static_cast<std::size_t>(n);
    }
}

FontDownload::Step FontDownload::SendBlock()
{
    ++blockCounter_;
    if (remaining_ > kBlockSize) {
        const int n = link_.Write(image_.data() + position_, kBlockSize);
        const bool step = blockCounter_ % 4 == 0;
        pacer_.Pause(kBlockPauseMs);
        if (n <= 0)
            return {Next::Failed, step};
        const auto accepted = std::min<std::uint32_t>(static_cast<std::uint32_t>(n), kBlockSize);
        remaining_ -= accepted;
        position_ += accepted;
        return {Next::SendBlock, step};
    }
    // The last block: everything that is left, at once. An image that ended with
    // its first piece has nothing left to send.
    if (remaining_ == 0)
        return {Next::Succeeded, false};
    const int n = link_.Write(image_.data() + position_, remaining_);
    if (n <= 0)
        return {Next::LastBlockFailed, false};
    const auto accepted = std::min<std::uint32_t>(static_cast<std::uint32_t>(n), remaining_);
    remaining_ -= accepted;
    position_ += accepted;
    // A last block the link took only in part is not a finished download: the rest
    // goes out on the next tick.
    return {remaining_ == 0 ? Next::Succeeded : Next::SendBlock, false};
}

}  // namespace zorvik
