// Status files as the window and the command-line tool read them: any bytes decode
// without harm, and what is decoded comes back through a save as the file had it. The
// window keeps switches 1, 2, 11, 12 and the font choice (switches 3 to 6 saved as
// zeros); the tool keeps switches 3 to 6 too, a pin there that is no pin state saved
// as "no change". Missing bytes count as zero, bytes past the 292nd are ignored.
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"

#include "settings/FullStatusFile.h"
#include "settings/StatusFile.h"

using zorvik::fuzz::Require;

namespace {

constexpr std::size_t kRoomBegin = 72;  // switches 3 to 6, nine words each
constexpr std::size_t kRoomEnd = 216;

std::uint32_t Word(const std::vector<std::uint8_t>& image, std::size_t offset)
{
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(image[offset + i]) << (8 * i);
    return u;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::vector<std::uint8_t> image(data, data + size);
    std::vector<std::uint8_t> padded = image;
    padded.resize(StatusFile::kSize, 0);

    SettingsRecord window;
    StatusFile::Decode(image, window);
    const auto windowSaved = StatusFile::Encode(window);
    SettingsRecord tool;
    FullStatusFile::Decode(image, tool);
    const auto toolSaved = FullStatusFile::Encode(tool);
    Require(windowSaved.size() == StatusFile::kSize && toolSaved.size() == StatusFile::kSize);

    for (std::size_t offset = 0; offset < StatusFile::kSize; offset += 4) {
        const std::uint32_t read = Word(padded, offset);
        const bool room = offset >= kRoomBegin && offset < kRoomEnd;
        Require(Word(windowSaved, offset) == (room ? 0u : read));
        const bool pinSlot = room && (offset - kRoomBegin) % 36 != 0;
        const bool pinState = read == PinState::On || read == PinState::Off;
        Require(Word(toolSaved, offset) ==
                (pinSlot && !pinState ? static_cast<std::uint32_t>(PinState::NoChange) : read));
    }

    // What the tool decoded reads back the same from its own save.
    SettingsRecord again;
    FullStatusFile::Decode(toolSaved, again);
    Require(again == tool);
    return 0;
}
