#pragma once
// Sends a font image to the printer: a first piece of 64 bytes, then one block of up
// to 4096 bytes per call of SendBlock, each driven by a timer tick of the status
// session. A partial write is resent from where it stopped on the next block.
#include <cstdint>
#include <vector>

#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

class FontDownload {
public:
    static constexpr std::uint32_t kFirstPiece = 64;
    static constexpr std::uint32_t kBlockSize = 4096;
    static constexpr std::uint32_t kBlockPauseMs = 10;

    FontDownload(PrinterLink& link, Pacer& pacer) : link_(link), pacer_(pacer) {}

    // Takes the image, writes its first piece and sets the block counter to 1.
    void Start(std::vector<std::uint8_t> image);

    enum class Next {
        SendBlock,        // more to send: arm the block timer again
        Succeeded,        // the last block went out
        Failed,           // a full block was refused
        LastBlockFailed,  // the last (short) block was refused
    };
    struct Step {
        Next next;
        bool progressStep;  // every fourth block
    };
    Step SendBlock();

    void Reset();
    bool Active() const { return !image_.empty(); }
    std::size_t Size() const { return image_.size(); }
    std::size_t Position() const { return position_; }
    std::uint32_t Remaining() const { return remaining_; }
    std::int32_t BlockCounter() const { return blockCounter_; }

private:
    PrinterLink& link_;
    Pacer& pacer_;
    std::vector<std::uint8_t> image_;
    std::size_t position_ = 0;
    std::uint32_t remaining_ = 0;
    std::int32_t blockCounter_ = 0;
};

}  // namespace zorvik
