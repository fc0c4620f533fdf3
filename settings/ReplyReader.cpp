#include "settings/ReplyReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "resources/CheckTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

int ReplyReader::Read(std::uint8_t* buffer, std::uint32_t count)
{
    const int n = link_.Read(buffer, count, kReadTimeoutMs);
    return n > 0 ? n : 0;  // a connection error counts as nothing received
}

int ReplyReader::ReadPacket(std::uint8_t* buffer, std::uint32_t count)
{
    pacer_.Pause(kPacketPauseMs);
    int n = Read(buffer, count);
    if (n == 0)
        n = Read(buffer, count);
    return n;
}

void ReplyReader::Discard(int times)
{
    std::uint8_t byte = 0;
    for (int i = 0; i < times; ++i) {
        pacer_.Pause(kBytePauseMs);
        Read(&byte, 1);
    }
}

std::optional<std::string> ReplyReader::ReadText(std::uint32_t packetCount,
                                                 const std::function<void()>& perPass)
{
    std::string text;
    if (!ByteWise()) {
        std::array<std::uint8_t, 64> buffer{};
        const std::uint32_t count = std::min<std::uint32_t>(packetCount, buffer.size());
        const int n = ReadPacket(buffer.data(), count);
        // Index 0 is the "_" header; the text runs to the first zero byte.
        for (int i = 1; i < n && buffer[static_cast<std::size_t>(i)] != 0; ++i)
            text += static_cast<char>(buffer[static_cast<std::size_t>(i)]);
        return text;
    }

    pacer_.Pause(kBytePauseMs);
    bool begun = false;
    int silent = 0;
    for (int pass = 0; pass < kMaxTextBytes; ++pass) {
        std::uint8_t slot = 0;
        const int n = Read(&slot, 1);
        if (perPass)
            perPass();
        if (n == 0) {
            // Silent from the start: no text at all. Silent after the text began:
            // the reply stopped before its zero byte; give it a few more passes.
            if (!begun)
                return text;
            if (++silent >= kMaxSilentTextPasses)
                return std::nullopt;
            continue;
        }
        begun = true;
        silent = 0;
        if (slot == 0)
            return text;
        if (slot != kTextHeader)
            text += static_cast<char>(slot);
    }
    return std::nullopt;  // a reply that never ends
}

bool ReplyReader::Drain()
{
    int empty = 0;
    for (int reads = 0; reads < kMaxDrainReads; ++reads) {
        std::uint8_t byte = 0;
        pacer_.Pause(kDrainPauseMs);
        const int n = Read(&byte, 1);
        if (n > 0 && byte != 0)
            empty = 0;
        else if (++empty >= 5)
            return true;
    }
    return false;
}

bool ReplyReader::FindSwitchHeader(std::uint8_t lastByte)
{
    for (int reads = 0; lastByte != kSwitchReplyHeader; ++reads) {
        if (reads >= kMaxHeaderSearch)
            return false;
        std::uint8_t byte = 0;
        if (Read(&byte, 1) > 0)
            lastByte = byte;
    }
    return true;
}

}  // namespace zorvik
