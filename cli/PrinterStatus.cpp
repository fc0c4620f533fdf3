#include "cli/PrinterStatus.h"

#include <algorithm>
#include <vector>

#include "resources/CliTexts.h"
#include "resources/CommonTexts.h"
#include "resources/FontImages.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

namespace {
constexpr int kReadStepSize = 1;
constexpr int kWriteStepSize = 10;
constexpr std::uint32_t kBlockGapMs = 10;  // between font blocks, as the window's timer ticks
}  // namespace

PrinterStatus::PrinterStatus(PrinterSession& printer)
    : printer_(printer), exchange_(printer.Link(), printer.Type(), printer.GetPacer())
{
    exchange_.SetProgress({[this](int position) {
                               position_ = std::clamp(position, 0, 100);
                               printer_.Progress(phase_, position_);
                           },
                           [this] {
                               position_ = std::min(100, position_ + stepSize_);
                               printer_.Progress(phase_, position_);
                           }});
}

void PrinterStatus::Show(const char* text, const char* title, MessageIcon icon)
{
    printer_.GetNotifier().Show(text, title, icon);
}

bool PrinterStatus::Report(ExchangeStatus status)
{
    switch (status) {
    case ExchangeStatus::Ok:
        return true;
    case ExchangeStatus::ModelMismatch:
        Show(kMsgModelMismatch, kTitleWarning, MessageIcon::Exclamation);
        Show(kMsgOtherCompany, kTitleInformation, MessageIcon::Exclamation);
        return false;
    case ExchangeStatus::NoReply:
    case ExchangeStatus::Disconnected:
        Show(kMsgRestartPrinter, kTitleInformation, MessageIcon::Information);
        return false;
    }
    return false;
}

bool PrinterStatus::Handshake()
{
    // The model is checked until the first successful identification.
    const bool identify = !texts_.firmware || texts_.firmware->empty();
    PrinterTexts texts;
    if (!Report(exchange_.Handshake(identify ? &texts : nullptr)))
        return false;
    if (identify)
        texts_ = texts;
    return true;
}

bool PrinterStatus::Read()
{
    phase_ = "reading";
    stepSize_ = kReadStepSize;
    printer_.Progress(phase_, 0);
    PrinterSettings read;
    if (!Handshake() || !Report(exchange_.ReadSettings(read)))
        return false;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            record_.Pin(e, pin) =
                read.switches[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)];
    powerSave_ = read.powerSave;
    Show(kMsgGetStatusOk, kTitleInformation, MessageIcon::Information);
    return true;
}

bool PrinterStatus::Write(const std::array<SwitchEntry, kSwitchCount>& switches,
                          const std::optional<PowerSaveReply>& powerSave, int doubleFontIndex)
{
    phase_ = "writing";
    stepSize_ = kWriteStepSize;
    printer_.Progress(phase_, 0);
    writeTaken_ = false;
    if (!Handshake() || !Report(exchange_.WriteSettings(switches, powerSave)))
        return false;
    writeTaken_ = true;
    if (doubleFontIndex >= 2 && doubleFontIndex < static_cast<int>(kDoubleFontItems.size()))
        return DownloadFont(doubleFontIndex);
    PrinterTexts texts;
    if (!Report(exchange_.ReadVersionInfo(texts)))
        return false;
    texts_.firmware = texts.firmware;
    texts_.language = texts.language;
    Show(kMsgSetStatusOk, kAppName, MessageIcon::Information);
    return true;
}

bool PrinterStatus::DownloadFont(int doubleFontIndex)
{
    const int id = kDoubleFontItems[static_cast<std::size_t>(doubleFontIndex)].resourceId;
    const std::span<const std::uint8_t> image = FontImages::Find(id);
    Show(kMsgFirmwareChanged, kAppName, MessageIcon::Information);
    if (image.empty()) {
        Show(kMsgFontDownloadFailed, kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    phase_ = kPhaseFontDownload;
    FontDownload& download = exchange_.Download();
    download.Start(std::vector<std::uint8_t>(image.begin(), image.end()));
    // Every block moves the image on or ends the download; the bound only guards
    // against a port that keeps taking single bytes forever.
    const std::size_t maxBlocks = image.size() + 16;
    FontDownload::Next next = FontDownload::Next::SendBlock;
    for (std::size_t block = 0; block < maxBlocks && next == FontDownload::Next::SendBlock; ++block) {
        printer_.GetPacer().Pause(kBlockGapMs);
        next = download.SendBlock().next;
        printer_.Progress(phase_, static_cast<int>(100 * download.Position() / image.size()));
    }
    download.Reset();
    if (next != FontDownload::Next::Succeeded) {
        if (next == FontDownload::Next::LastBlockFailed)
            Show(kMsgFontLastBlockError, kAppName, MessageIcon::Information);
        Show(kMsgFontDownloadFailed, kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    exchange_.SettleAfterDownload();
    // The image went out whole; texts that cannot be read now simply stay as they were.
    PrinterTexts texts;
    if (exchange_.ReadVersionInfo(texts) == ExchangeStatus::Ok) {
        texts_.firmware = texts.firmware;
        texts_.language = texts.language;
    }
    Show(kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information);
    return true;
}

bool PrinterStatus::PrintStatusPage()
{
    phase_ = "printing";
    return Handshake() && Report(exchange_.PrintStatusPage());
}

bool PrinterStatus::PrintCodepage()
{
    return exchange_.PrintCodepage() == ExchangeStatus::Ok;
}

PrinterFacts PrinterStatus::Facts() const
{
    PrinterFacts facts{texts_.model.value_or(""), texts_.firmware.value_or(""), texts_.language.value_or("")};
    if (powerSave_) {
        facts.powerSave = powerSave_->enabled;
        facts.entranceTime = powerSave_->seconds;
    }
    return facts;
}

}  // namespace zorvik
