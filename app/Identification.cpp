#include "app/Identification.h"

#include <array>
#include <cstring>
#include <string>

#include "resources/CheckTexts.h"
#include "resources/LinkTexts.h"

namespace zorvik {

namespace {

constexpr std::uint32_t kReadTimeoutMs = 1000;
// Every reply lands in a cleared 20-byte buffer; a packet read takes at most 16, so
// a packet text is at most 15 characters and always ends in zeros.
using ReplyBuffer = std::array<std::uint8_t, 20>;
constexpr std::uint32_t kPacketRead = 16;
// Bounds that keep a babbling printer from holding the check forever.
constexpr int kMaxDrainReads = 100;
constexpr int kMaxTextBytes = 64;

class Exchange {
public:
    Exchange(PrinterLink& link, InterfaceType type, Pacer& pacer)
        : link_(link), pacer_(pacer), byteWise_(type == Serial || type == Parallel)
    {
    }

    IdentifyResult Run()
    {
        if (byteWise_)
            Drain();
        if (Write(kCmdInitialize) != static_cast<int>(sizeof kCmdInitialize))
            return IdentifyResult::PortError;
        Write(kCmdSelectPeripheral);
        Write(kCmdAutoStatusOff);
        if (byteWise_)
            DiscardFive();
        if (!ReadPrinterId())
            return IdentifyResult::NoPrinterId;
        Write(kCmdMakerName);
        const std::string maker = ReadText();
        pacer_.Pause(500);
        if (maker != kMakerName)
            return IdentifyResult::WrongMaker;
        Write(kCmdModelName);
        if (ReadText() != kModelName)
            return IdentifyResult::WrongModel;
        return IdentifyResult::Ok;
    }

private:
    template <std::size_t N>
    int Write(const std::uint8_t (&command)[N])
    {
        return link_.Write(command, N);
    }

    // One single-byte read into a cleared buffer; true when a byte came.
    bool ReadOne(ReplyBuffer& buffer)
    {
        buffer.fill(0);
        return link_.Read(buffer.data(), 1, kReadTimeoutMs) > 0;
    }

    void ReadPacket(ReplyBuffer& buffer)
    {
        buffer.fill(0);
        pacer_.Pause(200);
        if (link_.Read(buffer.data(), kPacketRead, kReadTimeoutMs) == 0)
            link_.Read(buffer.data(), kPacketRead, kReadTimeoutMs);
    }

    // Stray input goes first: read until five reads in a row bring no non-zero byte.
    void Drain()
    {
        ReplyBuffer buffer;
        int empty = 0;
        for (int reads = 0; empty <= 4 && reads < kMaxDrainReads; ++reads) {
            pacer_.Pause(50);
            if (ReadOne(buffer) && buffer[0] != 0)
                empty = 0;
            else
                ++empty;
        }
    }

    void DiscardFive()
    {
        ReplyBuffer buffer;
        for (int i = 0; i < 5; ++i) {
            pacer_.Pause(100);
            ReadOne(buffer);
        }
    }

    bool ReadPrinterId()
    {
        Write(kCmdPrinterId3);
        ReplyBuffer buffer{};
        if (!byteWise_) {
            ReadPacket(buffer);
            return buffer[0] == kPrinterIdReply;
        }
        pacer_.Pause(100);
        ReadOne(buffer);
        for (int retry = 0; retry < 10 && buffer[0] != kPrinterIdReply; ++retry) {
            pacer_.Pause(100);
            ReadOne(buffer);
        }
        return buffer[0] == kPrinterIdReply;
    }

    std::string ReadText()
    {
        ReplyBuffer buffer{};
        if (!byteWise_) {
            // The first byte is the header, whatever it holds.
            ReadPacket(buffer);
            return std::string(reinterpret_cast<const char*>(buffer.data() + 1));
        }
        // Byte-wise: up to the 00, every 5F dropped; a read that brings nothing ends
        // the text, and so does the bound.
        std::string text;
        pacer_.Pause(100);
        for (int i = 0; i < kMaxTextBytes; ++i) {
            if (!ReadOne(buffer) || buffer[0] == 0)
                break;
            if (buffer[0] != kTextHeader)
                text += static_cast<char>(buffer[0]);
        }
        return text;
    }

    PrinterLink& link_;
    Pacer& pacer_;
    const bool byteWise_;
};

}  // namespace

IdentifyResult IdentifyPrinter(PrinterLink& link, InterfaceType type, Pacer& pacer)
{
    return Exchange(link, type, pacer).Run();
}

const char* IdentifyMessage(IdentifyResult result)
{
    switch (result) {
    case IdentifyResult::Ok:
        return kMsgConnected;
    case IdentifyResult::PortError:
        return kMsgPortError;
    case IdentifyResult::NoPrinterId:
        return kMsgNoPrinterId;
    case IdentifyResult::WrongMaker:
        return kMsgWrongMaker;
    case IdentifyResult::WrongModel:
        return kMsgWrongModel;
    }
    return kMsgPortError;
}

}  // namespace zorvik
