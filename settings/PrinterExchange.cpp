#include "settings/PrinterExchange.h"

#include <algorithm>
#include <cstring>

#include "resources/CheckTexts.h"
#include "resources/HealthTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

namespace {

// The switches whose byte-wise reply is read without first looking for its header;
// the others step the progress before the search.
bool ReadsReplyAtOnce(std::uint8_t switchNumber)
{
    return switchNumber == kSwitchNumbers[kEntrySwitch1] || switchNumber == kSwitchNumbers[kEntrySwitch11] ||
           switchNumber == kSwitchNumbers[kEntrySwitch12];
}

// Progress positions of the handshake.
constexpr int kPositionModelAsked = 10;
constexpr int kPositionModelRead = 30;
constexpr int kPositionIdentified = 50;
constexpr int kPositionIdAsked = 70;
constexpr int kPositionIdRead = 90;
constexpr int kPositionDone = 100;

constexpr std::uint32_t kModelPacketBytes = 16;
constexpr std::uint32_t kVersionPacketBytes = 64;
constexpr std::uint32_t kUserModeReplyBytes = 3;

}  // namespace

PrinterExchange::PrinterExchange(PrinterLink& link, InterfaceType type, Pacer& pacer)
    : link_(link), reader_(link, pacer, type), download_(link, pacer)
{
}

void PrinterExchange::Position(int position)
{
    if (progress_.position)
        progress_.position(position);
}

void PrinterExchange::Step()
{
    if (progress_.step)
        progress_.step();
}

bool PrinterExchange::Babbling()
{
    if (ByteWise())
        return reader_.Discard(ReplyReader::kDiscardReads) == ReplyReader::kDiscardReads;
    return reader_.MoreWaiting();
}

ExchangeStatus PrinterExchange::Lost() const
{
    return reader_.Broken() ? ExchangeStatus::Disconnected : ExchangeStatus::NoReply;
}

PrinterExchange::SwitchWrite PrinterExchange::SwitchWriteCommand(int entry, const SwitchEntry& pins)
{
    SwitchWrite cmd{};
    std::copy(std::begin(kCmdSwitchWriteTemplate), std::end(kCmdSwitchWriteTemplate), cmd.begin());
    cmd[kSwitchNumberIndex] = kSwitchNumbers[static_cast<std::size_t>(entry)];
    // The first character is pin 8, the last pin 1.
    for (int pin = 1; pin <= kPinCount; ++pin)
        cmd[kSwitchCharsIndex + static_cast<std::size_t>(kPinCount - pin)] =
            static_cast<std::uint8_t>(PinStateToWire(pins.pins[static_cast<std::size_t>(pin)]));
    return cmd;
}

ExchangeStatus PrinterExchange::Handshake(PrinterTexts* identify)
{
    reader_.ClearBroken();
    const bool usb = reader_.Type() == InterfaceType::Usb;
    bool gotId = false;
    if (link_.Write(kCmdInitialize, sizeof kCmdInitialize) != 0) {
        if (ByteWise())
            reader_.Discard(ReplyReader::kDiscardReads);
        reader_.Write(kCmdSelectPeripheral);
        if (identify) {
            if (const ExchangeStatus status = IdentifyModel(*identify); status != ExchangeStatus::Ok)
                return status;
        }
        Position(kPositionIdentified);
        reader_.Write(kCmdAutoStatusOff);
        if (ByteWise())
            reader_.Discard(ReplyReader::kDiscardReads);
        Position(kPositionIdAsked);
        reader_.Write(kCmdPrinterId3);
        // The printer ID comes as a packet on USB only; Ethernet polls it byte-wise.
        if (usb) {
            gotId = reader_.ReadPrinterId(true);
        } else {
            std::uint8_t byte = 0;
            reader_.Pause(ReplyReader::kBytePauseMs);
            reader_.Read(&byte, 1);
            gotId = byte == kPrinterIdReply;
        }
        Position(kPositionIdRead);
    }
    // Nothing went out at first: only the polls can find the printer.
    if (gotId || (!usb && reader_.PollPrinterId()))
        return ExchangeStatus::Ok;
    return Lost();
}

ExchangeStatus PrinterExchange::IdentifyModel(PrinterTexts& texts)
{
    if (const ExchangeStatus status = ReadVersionInfo(texts); status != ExchangeStatus::Ok)
        return status;
    reader_.Write(kCmdModelName);
    Position(kPositionModelAsked);
    const auto model = reader_.ReadText(kModelPacketBytes, [this] { Step(); });
    if (!model)
        return Lost();
    texts.model = *model;
    if (ByteWise())
        reader_.Discard(ReplyReader::kDiscardReads);
    if (reader_.Broken())
        return ExchangeStatus::Disconnected;
    Position(kPositionModelRead);
    if (model->find(kModelFamily) == std::string::npos)
        return ExchangeStatus::ModelMismatch;
    return ExchangeStatus::Ok;
}

ExchangeStatus PrinterExchange::ReadVersionInfo(PrinterTexts& texts)
{
    if (ByteWise() && !reader_.Drain())
        return Lost();
    reader_.Write(kCmdFirmwareVersion);
    const auto firmware = reader_.ReadText(kVersionPacketBytes);
    if (!firmware || (ByteWise() && !reader_.Drain()))
        return Lost();
    reader_.Write(kCmdLanguage);
    const auto language = reader_.ReadText(kVersionPacketBytes);
    if (!language)
        return Lost();
    texts.firmware = *firmware;
    texts.language = *language;
    return ExchangeStatus::Ok;
}

ExchangeStatus PrinterExchange::ReadSettings(PrinterSettings& out)
{
    Position(0);
    PrinterSettings read;
    for (int e = 0; e < kSwitchCount; ++e) {
        const std::uint8_t number = kSwitchNumbers[static_cast<std::size_t>(e)];
        std::uint8_t cmd[sizeof kCmdSwitchReadTemplate];
        std::memcpy(cmd, kCmdSwitchReadTemplate, sizeof cmd);
        cmd[kSwitchNumberIndex] = number;
        if (!reader_.Write(cmd))
            return ExchangeStatus::Disconnected;
        const auto chars = reader_.ReadSwitchReply(!ReadsReplyAtOnce(number), [this] { Step(); });
        if (!chars)
            return Lost();
        // The first character is pin 8, the last pin 1.
        for (int pin = 1; pin <= kPinCount; ++pin) {
            read.switches[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)] =
                PinStateFromWire((*chars)[static_cast<std::size_t>(kPinCount - pin)]);
            Step();
        }
    }

    if (!reader_.Write(kCmdPowerSaveQuery))
        return ExchangeStatus::Disconnected;
    reader_.Pause(ReplyReader::kBytePauseMs);
    read.powerSave = reader_.ReadPowerSave();
    // A printer that keeps sending where it should be quiet is babbling: what it
    // answered before cannot be trusted either. Byte-wise the discarded reads show
    // it; as packets, bytes that keep coming after the last answer.
    if (Babbling())
        return ExchangeStatus::NoReply;
    if (reader_.Broken() || !reader_.Write(kCmdSelectPeripheral))
        return ExchangeStatus::Disconnected;
    Step();
    Position(kPositionDone);
    out = read;
    return ExchangeStatus::Ok;
}

ExchangeStatus PrinterExchange::WriteSettings(const std::array<SwitchEntry, kSwitchCount>& switches,
                                              const std::optional<PowerSaveReply>& powerSave)
{
    reader_.ClearBroken();
    if (!reader_.Write(kCmdUserModeEnter))
        return ExchangeStatus::Disconnected;
    // The answer to fn 1 is not examined, only read out of the way.
    std::uint8_t reply[ReplyReader::kPacketBytes] = {};
    if (!ByteWise()) {
        reader_.ReadPacket(reply, ReplyReader::kPacketBytes);
    } else {
        reader_.Pause(ReplyReader::kBytePauseMs);
        reader_.Read(reply, kUserModeReplyBytes);
    }
    if (reader_.Broken())
        return ExchangeStatus::Disconnected;
    Step();

    for (int e = 0; e < kSwitchCount; ++e) {
        const SwitchWrite cmd = SwitchWriteCommand(e, switches[static_cast<std::size_t>(e)]);
        if (!reader_.Write(cmd.data(), static_cast<std::uint32_t>(cmd.size())))
            return ExchangeStatus::Disconnected;
        if (e != kEntrySwitch4)
            Step();
    }

    if (!reader_.Write(kCmdUserModeEnd))
        return ExchangeStatus::Disconnected;
    reader_.Pause(ReplyReader::kBytePauseMs);
    if (powerSave) {
        std::uint8_t cmd[sizeof kCmdPowerSaveSetTemplate];
        std::memcpy(cmd, kCmdPowerSaveSetTemplate, sizeof cmd);
        cmd[kPowerSaveFlagIndex] = powerSave->enabled != 0 ? 0x01 : 0x00;
        cmd[kPowerSaveTimeIndex] = static_cast<std::uint8_t>(powerSave->seconds & 0xFF);
        if (!reader_.Write(cmd))
            return ExchangeStatus::Disconnected;
    }
    if (!reader_.Write(kCmdSelectPeripheral))
        return ExchangeStatus::Disconnected;
    for (int i = 0; i < 2; ++i) {
        Step();
        reader_.Pause(kRestartPauseMs);
        Step();
    }
    return ExchangeStatus::Ok;
}

ExchangeStatus PrinterExchange::ReadHealth(PrinterHealth& out)
{
    PrinterHealth::StatusBytes bytes{};
    for (int request = 1; request <= PrinterHealth::kRequests; ++request) {
        std::uint8_t cmd[sizeof kCmdStatusRequestTemplate];
        std::memcpy(cmd, kCmdStatusRequestTemplate, sizeof cmd);
        cmd[kStatusRequestIndex] = static_cast<std::uint8_t>(request);
        if (!reader_.Write(cmd))
            return ExchangeStatus::Disconnected;
        const auto byte = reader_.ReadStatusByte();
        if (!byte)
            return Lost();
        bytes[static_cast<std::size_t>(request - 1)] = *byte;
    }
    if (Babbling())
        return ExchangeStatus::NoReply;
    if (reader_.Broken())
        return ExchangeStatus::Disconnected;
    out = PrinterHealth(bytes);
    return ExchangeStatus::Ok;
}

ExchangeStatus PrinterExchange::PrintStatusPage()
{
    return reader_.Write(kCmdPrintStatusPage) ? ExchangeStatus::Ok : ExchangeStatus::Disconnected;
}

ExchangeStatus PrinterExchange::PrintCodepage()
{
    return reader_.Write(kCmdPrintCodepage) ? ExchangeStatus::Ok : ExchangeStatus::Disconnected;
}

void PrinterExchange::SettleAfterDownload()
{
    if (!ByteWise())
        return;
    for (int i = 0; i < kDrainAfterDownloadReads; ++i) {
        std::uint8_t byte = 0;
        reader_.Pause(kDrainAfterDownloadMs);
        reader_.Read(&byte, 1);
    }
}

}  // namespace zorvik
