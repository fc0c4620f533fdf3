#pragma once
// Reads the printer's replies in the style the interface needs: single bytes on
// serial and parallel, one packet on USB and Ethernet. Every reply is taken only in
// its whole frame, every loop that waits for a reply byte has a bound, and a
// connection found closed or failed is remembered (Broken) instead of being taken
// for "nothing yet".
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

// The eight characters of a switch reply, pin 8 first.
using SwitchChars = std::array<std::uint8_t, 8>;

// The entrance times of power save the printer takes, in seconds.
inline constexpr int kEntranceTimeMin = 6;
inline constexpr int kEntranceTimeMax = 255;

// What the printer says about power save: the enable flag and the entrance time.
struct PowerSaveReply {
    int enabled = 0;  // 0 disabled, 1 enabled
    int seconds = 0;  // 0..255
    friend bool operator==(const PowerSaveReply&, const PowerSaveReply&) = default;
};

class ReplyReader {
public:
    static constexpr std::uint32_t kReadTimeoutMs = 1000;
    static constexpr std::uint32_t kBytePauseMs = 100;    // before a byte-wise reply or discarded byte
    static constexpr std::uint32_t kPacketPauseMs = 200;  // before a packet read
    static constexpr std::uint32_t kDrainPauseMs = 50;
    static constexpr std::uint32_t kQuietLookMs = 20;
    static constexpr std::uint32_t kPacketBytes = 16;  // one packet read of a short reply
    static constexpr int kDiscardReads = 5;            // the discarded reads after a command
    static constexpr int kPrinterIdPolls = 10;         // polls for a late printer ID
    // Bounds of the byte-wise loops.
    static constexpr int kMaxTextBytes = 256;       // passes of one text reply
    static constexpr int kMaxSilentTextPasses = 3;  // silent passes once a text has begun
    static constexpr int kMaxHeaderSearch = 16;     // bytes looked at for a switch reply header
    static constexpr int kMaxDrainReads = 64;       // reads of one drain
    static constexpr int kDrainQuietReads = 5;      // empty reads in a row that end a drain
    // Frames.
    static constexpr std::uint32_t kSwitchReplyLength = 11;  // 37 21 c8..c1 00
    static constexpr std::uint32_t kPowerSaveReplyLength = 4;
    static constexpr std::uint8_t kPowerSaveReplyLead = 0x50;
    // A real-time status byte is 0xx1xx10: bits 7 and 0 clear, bits 4 and 1 set.
    static constexpr std::uint8_t kStatusFixedMask = 0x93;
    static constexpr std::uint8_t kStatusFixedBits = 0x12;
    static bool StatusFramed(std::uint8_t byte) { return (byte & kStatusFixedMask) == kStatusFixedBits; }

    ReplyReader(PrinterLink& link, Pacer& pacer, InterfaceType type) : link_(link), pacer_(pacer), type_(type)
    {
    }

    // Serial and parallel read byte-wise; USB and Ethernet read packets.
    bool ByteWise() const { return type_ == InterfaceType::Serial || type_ == InterfaceType::Parallel; }
    InterfaceType Type() const { return type_; }

    // True once a read found the connection closed or failed; every later read then
    // brings nothing without asking the port. Cleared at the start of an action.
    bool Broken() const { return broken_; }
    void ClearBroken() { broken_ = false; }

    // True when every byte was accepted.
    bool Write(const std::uint8_t* bytes, std::uint32_t count);
    template <std::size_t N> bool Write(const std::uint8_t (&command)[N])
    {
        return Write(command, static_cast<std::uint32_t>(N));
    }
    // Bytes received, 0 for none; a broken connection reads as 0 and sets Broken.
    int Read(std::uint8_t* buffer, std::uint32_t count);
    void Pause(std::uint32_t ms) { pacer_.Pause(ms); }

    // Pause 200 ms, read count bytes, and once more if nothing came.
    int ReadPacket(std::uint8_t* buffer, std::uint32_t count);
    // Reads on after `have` bytes until `count` have come. False when a read brings
    // nothing first (the reply stopped short) or the connection broke.
    bool ReadRest(std::uint8_t* buffer, std::uint32_t have, std::uint32_t count);
    // times x (pause 100 ms, read one byte and drop it). Returns how many of those
    // reads brought a byte other than 00.
    int Discard(int times);
    // Reads a "_" text 00 reply: a packet of packetCount bytes on USB and Ethernet,
    // single bytes otherwise (perPass runs after every byte-wise pass). A printer
    // silent from the start gives an empty text. No value when the reply stopped
    // before its zero byte or never ended within the bounds.
    std::optional<std::string> ReadText(std::uint32_t packetCount, const std::function<void()>& perPass = {});
    // Serial and parallel: reads until five empty reads in a row. False when the
    // printer kept sending past the bound.
    bool Drain();
    // GS I 3's answer. As a packet: true when its first byte is "o". Otherwise a
    // byte 100 ms after the command and then up to ten polls 100 ms apart.
    bool ReadPrinterId(bool asPacket);
    // The ten polls alone.
    bool PollPrinterId();

    // A switch reply (37 21 c8..c1 00), after the command was written. Byte-wise
    // the first byte comes 100 ms after the command and the header is looked for
    // among at most 16 bytes; headerStep runs where the progress moves before the
    // search (searchFirst) or after the reply was read. No value when no whole,
    // well-formed reply came within the bounds.
    std::optional<SwitchChars> ReadSwitchReply(bool searchFirst, const std::function<void()>& headerStep);
    // True when bytes arrive within a short look (20 ms): the printer is sending
    // where it should be quiet. For the packet style, whose port honours the
    // caller's time-out.
    bool MoreWaiting();
    // The power-save reply (50, flag, seconds, ...), after the command and its first
    // 100 ms pause. No value when it is missing, short or not of its form.
    std::optional<PowerSaveReply> ReadPowerSave();
    // The one byte answered to a real-time status request, after the request was
    // written: byte-wise 100 ms after it, otherwise as a packet that must hold that
    // byte alone. No value when none came, more came, or its fixed bits are wrong.
    std::optional<std::uint8_t> ReadStatusByte();

private:
    // Byte-wise: reads single bytes until one is 37h, starting from the byte already
    // read. False when none came within the bound.
    bool FindSwitchHeader(std::uint8_t lastByte);
    std::optional<SwitchChars> SwitchFrame(const std::uint8_t* afterHeader) const;
    std::optional<SwitchChars> ReadSwitchPacket();

    PrinterLink& link_;
    Pacer& pacer_;
    InterfaceType type_;
    bool broken_ = false;
};

}  // namespace zorvik
