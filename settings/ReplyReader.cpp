#include "settings/ReplyReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "resources/CheckTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

bool ReplyReader::Write(const std::uint8_t* bytes, std::uint32_t count)
{
    return link_.Write(bytes, count) == static_cast<int>(count);
}

int ReplyReader::Read(std::uint8_t* buffer, std::uint32_t count)
{
    if (broken_)
        return 0;
    const int n = link_.Read(buffer, count, kReadTimeoutMs);
    if (n < 0) {
        broken_ = true;
        return 0;
    }
    return n;
}

int ReplyReader::ReadPacket(std::uint8_t* buffer, std::uint32_t count)
{
    pacer_.Pause(kPacketPauseMs);
    int n = Read(buffer, count);
    if (n == 0)
        n = Read(buffer, count);
    return n;
}

bool ReplyReader::ReadRest(std::uint8_t* buffer, std::uint32_t have, std::uint32_t count)
{
    while (have < count) {
        const int n = Read(buffer + have, count - have);
        if (n == 0)
            return false;
        have += static_cast<std::uint32_t>(n);
    }
    return true;
}

int ReplyReader::Discard(int times)
{
    int sent = 0;
    for (int i = 0; i < times; ++i) {
        std::uint8_t byte = 0;
        pacer_.Pause(kBytePauseMs);
        if (Read(&byte, 1) > 0 && byte != 0)
            ++sent;
    }
    return sent;
}

std::optional<std::string> ReplyReader::ReadText(std::uint32_t packetCount,
                                                 const std::function<void()>& perPass)
{
    std::string text;
    if (!ByteWise()) {
        std::array<std::uint8_t, 64> buffer{};
        const std::uint32_t count = std::min<std::uint32_t>(packetCount, buffer.size());
        std::uint32_t have = static_cast<std::uint32_t>(ReadPacket(buffer.data(), count));
        if (have == 0)
            return broken_ ? std::nullopt : std::optional<std::string>(text);
        // Index 0 is the "_" header; the text runs to the first zero byte, which may
        // come in a later piece, or to the end of the room.
        for (std::uint32_t i = 1;; ++i) {
            if (i == count)
                return text;
            if (i == have) {
                const int n = Read(buffer.data() + have, count - have);
                if (n == 0)
                    return std::nullopt;  // the text stopped before its zero byte
                have += static_cast<std::uint32_t>(n);
            }
            if (buffer[i] == 0)
                return text;
            text += static_cast<char>(buffer[i]);
        }
    }

    pacer_.Pause(kBytePauseMs);
    bool begun = false;
    int silent = 0;
    for (int pass = 0; pass < kMaxTextBytes; ++pass) {
        std::uint8_t slot = 0;
        const int n = Read(&slot, 1);
        if (perPass)
            perPass();
        if (broken_)
            return std::nullopt;
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
        if (broken_)
            return false;
        if (n > 0 && byte != 0)
            empty = 0;
        else if (++empty >= kDrainQuietReads)
            return true;
    }
    return false;
}

bool ReplyReader::ReadPrinterId(bool asPacket)
{
    std::array<std::uint8_t, 20> reply{};
    if (asPacket) {
        ReadPacket(reply.data(), kPacketBytes);
        return reply[0] == kPrinterIdReply;
    }
    pacer_.Pause(kBytePauseMs);
    Read(reply.data(), 1);
    return reply[0] == kPrinterIdReply || PollPrinterId();
}

bool ReplyReader::PollPrinterId()
{
    for (int i = 0; i < kPrinterIdPolls && !broken_; ++i) {
        std::uint8_t byte = 0;
        pacer_.Pause(kBytePauseMs);
        Read(&byte, 1);
        if (byte == kPrinterIdReply)
            return true;
    }
    return false;
}

bool ReplyReader::FindSwitchHeader(std::uint8_t lastByte)
{
    for (int reads = 0; lastByte != kSwitchReplyHeader; ++reads) {
        if (reads >= kMaxHeaderSearch || broken_)
            return false;
        std::uint8_t byte = 0;
        if (Read(&byte, 1) > 0)
            lastByte = byte;
    }
    return true;
}

std::optional<SwitchChars> ReplyReader::SwitchFrame(const std::uint8_t* afterHeader) const
{
    // 21h, the eight characters, 00.
    if (afterHeader[0] != kSwitchReplySecond || afterHeader[kSwitchReplyLength - 2] != kSwitchReplyEnd)
        return std::nullopt;
    SwitchChars chars{};
    std::copy_n(afterHeader + 1, chars.size(), chars.begin());
    return chars;
}

std::optional<SwitchChars> ReplyReader::ReadSwitchReply(bool searchFirst,
                                                        const std::function<void()>& headerStep)
{
    if (!ByteWise())
        return ReadSwitchPacket();
    std::uint8_t first = 0;
    pacer_.Pause(kBytePauseMs);
    Read(&first, 1);
    if (searchFirst && headerStep)
        headerStep();
    std::array<std::uint8_t, kSwitchReplyLength - 1> body{};
    if (!FindSwitchHeader(first) || !ReadRest(body.data(), 0, body.size()))
        return std::nullopt;
    if (!searchFirst && headerStep)
        headerStep();
    return SwitchFrame(body.data());
}

std::optional<SwitchChars> ReplyReader::ReadSwitchPacket()
{
    // Room for the bytes before the header that the search may pass over, and the frame.
    std::array<std::uint8_t, kMaxHeaderSearch + kSwitchReplyLength> bytes{};
    std::uint32_t have = static_cast<std::uint32_t>(ReadPacket(bytes.data(), kPacketBytes));
    for (;;) {
        const auto* header = std::find(bytes.data(), bytes.data() + have, kSwitchReplyHeader);
        const auto start = static_cast<std::uint32_t>(header - bytes.data());
        if (start < have && have - start >= kSwitchReplyLength)
            return SwitchFrame(header + 1);
        if (start >= static_cast<std::uint32_t>(kMaxHeaderSearch))
            return std::nullopt;  // no header where a reply could start
        const std::uint32_t want = start < have ? start + kSwitchReplyLength : kPacketBytes;
        const std::uint32_t room = std::min<std::uint32_t>(want, bytes.size());
        if (have >= room)
            return std::nullopt;
        const int n = Read(bytes.data() + have, room - have);
        if (n == 0)
            return std::nullopt;  // cut short, silent or disconnected
        have += static_cast<std::uint32_t>(n);
    }
}

bool ReplyReader::MoreWaiting()
{
    if (broken_)
        return false;
    std::array<std::uint8_t, kPacketBytes> bytes{};
    const int n = link_.Read(bytes.data(), bytes.size(), kQuietLookMs);
    if (n < 0)
        broken_ = true;
    return n > 0;
}

std::optional<PowerSaveReply> ReplyReader::ReadPowerSave()
{
    std::array<std::uint8_t, kPowerSaveReplyLength> reply{};
    std::uint32_t have = 0;
    if (ByteWise()) {
        pacer_.Pause(kBytePauseMs);
        have = static_cast<std::uint32_t>(Read(reply.data(), reply.size()));
    } else {
        have = static_cast<std::uint32_t>(ReadPacket(reply.data(), reply.size()));
    }
    if (have == 0 || !ReadRest(reply.data(), have, reply.size()) || reply[0] != kPowerSaveReplyLead)
        return std::nullopt;
    return PowerSaveReply{reply[1] != 0 ? 1 : 0, reply[2]};
}

std::optional<std::uint8_t> ReplyReader::ReadStatusByte()
{
    std::array<std::uint8_t, kPacketBytes> bytes{};
    int have = 0;
    if (ByteWise()) {
        pacer_.Pause(kBytePauseMs);
        have = Read(bytes.data(), 1);
    } else {
        have = ReadPacket(bytes.data(), kPacketBytes);
    }
    if (have != 1 || !StatusFramed(bytes[0]))
        return std::nullopt;
    return bytes[0];
}

}  // namespace zorvik
