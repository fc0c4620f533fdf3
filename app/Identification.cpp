#include "app/Identification.h"

#include <string>

#include "resources/CheckTexts.h"
#include "resources/LinkTexts.h"
#include "settings/ReplyReader.h"

namespace zorvik {

namespace {

// The pause after the maker's name, before the model is asked.
constexpr std::uint32_t kAfterMakerPauseMs = 500;

class Exchange {
public:
    Exchange(PrinterLink& link, InterfaceType type, Pacer& pacer) : reader_(link, pacer, type) {}

    IdentifyResult Run()
    {
        const bool byteWise = reader_.ByteWise();
        // Stray input goes first; a printer that never stops sending is not answering.
        if (byteWise && !reader_.Drain())
            return Lost();
        if (!reader_.Write(kCmdInitialize))
            return IdentifyResult::PortError;
        reader_.Write(kCmdSelectPeripheral);
        reader_.Write(kCmdAutoStatusOff);
        if (byteWise)
            reader_.Discard(ReplyReader::kDiscardReads);
        reader_.Write(kCmdPrinterId3);
        if (!reader_.ReadPrinterId(!byteWise))
            return Lost();
        reader_.Write(kCmdMakerName);
        const auto maker = reader_.ReadText(ReplyReader::kPacketBytes);
        if (!maker)
            return Lost();
        reader_.Pause(kAfterMakerPauseMs);
        if (*maker != kMakerName)
            return IdentifyResult::WrongMaker;
        reader_.Write(kCmdModelName);
        const auto model = reader_.ReadText(ReplyReader::kPacketBytes);
        if (!model)
            return Lost();
        if (*model != kModelName)
            return IdentifyResult::WrongModel;
        return IdentifyResult::Ok;
    }

private:
    // A reply that did not come whole: the connection broke, or the printer stopped
    // in the middle of it.
    IdentifyResult Lost() const
    {
        return reader_.Broken() ? IdentifyResult::Disconnected : IdentifyResult::NoPrinterId;
    }

    ReplyReader reader_;
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
    case IdentifyResult::Disconnected:
        return kMsgCantOpenPort;
    }
    return kMsgPortError;
}

}  // namespace zorvik
