#pragma once
// Reads the printer's replies in the style the interface needs: single bytes on
// serial and parallel, one packet on USB and Ethernet. Every loop that waits for a
// reply byte has a bound; reaching it is reported so the exchange can fail.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

class ReplyReader {
public:
    static constexpr std::uint32_t kReadTimeoutMs = 1000;
    static constexpr std::uint32_t kBytePauseMs = 100;    // before a byte-wise reply or discarded byte
    static constexpr std::uint32_t kPacketPauseMs = 200;  // before a packet read
    static constexpr std::uint32_t kDrainPauseMs = 50;
    // Bounds of the byte-wise loops.
    static constexpr int kMaxTextBytes = 256;       // passes of one text reply
    static constexpr int kMaxSilentTextPasses = 3;  // silent passes once a text has begun
    static constexpr int kMaxHeaderSearch = 16;     // reads while looking for a switch reply header
    static constexpr int kMaxDrainReads = 64;       // reads of one drain

    ReplyReader(PrinterLink& link, Pacer& pacer, InterfaceType type) : link_(link), pacer_(pacer), type_(type)
    {
    }

    // Serial and parallel read byte-wise; USB and Ethernet read packets.
    bool ByteWise() const { return type_ == Serial || type_ == Parallel; }
    InterfaceType Type() const { return type_; }

    int Write(const std::uint8_t* bytes, std::uint32_t count) { return link_.Write(bytes, count); }
    int Read(std::uint8_t* buffer, std::uint32_t count);
    void Pause(std::uint32_t ms) { pacer_.Pause(ms); }

    // Pause 200 ms, read count bytes, and once more if nothing came.
    int ReadPacket(std::uint8_t* buffer, std::uint32_t count);
    // times x (pause 100 ms, read one byte and drop it).
    void Discard(int times);
    // Reads a "_" text 00 reply: a packet of packetCount bytes on USB and Ethernet,
    // single bytes otherwise (perPass runs after every byte-wise pass). No value when
    // the reply never ended within the bounds.
    std::optional<std::string> ReadText(std::uint32_t packetCount, const std::function<void()>& perPass = {});
    // Serial and parallel: reads until five empty reads in a row. False when the
    // printer kept sending past the bound.
    bool Drain();
    // Serial and parallel: reads single bytes until one is 37h, starting from the
    // byte already read. False when none came within the bound.
    bool FindSwitchHeader(std::uint8_t lastByte);

private:
    PrinterLink& link_;
    Pacer& pacer_;
    InterfaceType type_;
};

}  // namespace zorvik
