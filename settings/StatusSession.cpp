#include "settings/StatusSession.h"

#include <algorithm>
#include <cstring>

#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/FontImages.h"
#include "resources/SettingsTexts.h"
#include "settings/StatusFile.h"

namespace zorvik {

namespace {
constexpr std::uint32_t kRestartPauseMs = 1000;  // twice, while the printer stores and restarts
constexpr std::uint32_t kDrainAfterDownloadMs = 50;
constexpr int kEntranceTimeMin = 6;
constexpr int kEntranceTimeMax = 255;
constexpr int kEntranceTimeDefault = 20;
constexpr int kSettingStepSize = 10;
constexpr int kDownloadStepSize = 1;
constexpr int kDownloadStartPosition = 10;

// The switches whose byte-wise reply is read without searching for its header.
bool ReadsReplyAtOnce(std::uint8_t switchNumber)
{
    return switchNumber == 0x01 || switchNumber == 0x0B || switchNumber == 0x0C;
}

int FontResourceId(int doubleFontIndex)
{
    if (doubleFontIndex < 0 || doubleFontIndex >= static_cast<int>(kDoubleFontItems.size()))
        return 0;
    return kDoubleFontItems[static_cast<std::size_t>(doubleFontIndex)].resourceId;
}

}  // namespace

struct StatusSession::BusyScope {
    explicit BusyScope(StatusSession& s) : session(s) { ++session.busy_; }
    ~BusyScope()
    {
        if (--session.busy_ == 0)
            session.Changed();
    }
    StatusSession& session;
};

StatusSession::StatusSession(PrinterLink& link, InterfaceType type, Pacer& pacer, Notifier& notifier,
                             TimerHost& timers, FileChooser* chooser, FontImageLookup fonts)
    : link_(link), type_(type), pacer_(pacer), notifier_(notifier), timers_(timers), chooser_(chooser),
      fonts_(fonts ? std::move(fonts) : FontImageLookup(&FontImages::Find)), reader_(link, pacer, type),
      download_(link, pacer)
{
    settingPage_.SetRecord(&record_);
    switchPage_.SetRecord(&record_);
}

StatusSession::~StatusSession()
{
    for (int id : {kTimerBlock, kTimerDownloadOk, kTimerDownloadFailed, kTimerStartup})
        timers_.Stop(id);
}

// ---- Small helpers ----------------------------------------------------------------------

void StatusSession::SetButtons(std::initializer_list<StatusButton> buttons, bool enabled)
{
    for (StatusButton b : buttons)
        buttons_[static_cast<std::size_t>(b)] = enabled;
}

void StatusSession::SetAllButtons(bool enabled)
{
    buttons_.fill(enabled);
}

void StatusSession::SetProgress(int position)
{
    progressPos_ = std::clamp(position, 0, 100);
    if (onProgress)
        onProgress(progressPos_);
}

void StatusSession::StepProgress()
{
    if (progressStep_ == 0)
        return;
    // Like a progress bar's step: past the end it starts over from the beginning.
    int next = progressPos_ + progressStep_;
    if (next > 100)
        next -= 100;
    SetProgress(next);
}

void StatusSession::Repaint()
{
    if (onRepaint)
        onRepaint();
}

void StatusSession::Changed()
{
    if (onChanged)
        onChanged();
}

void StatusSession::Message(const char* text, const char* title, MessageIcon icon)
{
    Changed();
    notifier_.Show(text, title, icon);
}

void StatusSession::EndDialog(DialogResult result)
{
    result_ = result;
}

void StatusSession::WriteCommand(const std::uint8_t* bytes, std::uint32_t count)
{
    link_.Write(bytes, count);
}

void StatusSession::FailConnection()
{
    Message(kMsgRestartPrinter, kTitleInformation, MessageIcon::Information);
    SetProgress(0);
}

void StatusSession::RefreshAll(bool enabled)
{
    SetButtons({StatusButton::GetStatus, StatusButton::PrintStatus, StatusButton::PrintCodepage,
                StatusButton::SetStatus, StatusButton::SaveStatus},
               enabled);
    settingPage_.Refresh(enabled);
    switchPage_.nextEnabled = enabled;
    switchPage_.ShowSwitch(1, enabled);
}

// ---- Dialog life ------------------------------------------------------------------------

void StatusSession::Initialize()
{
    waitBox_ = true;
    progressStep_ = 0;
    SetProgress(0);
    SetAllButtons(false);
    record_.ClearPins();
    settingPage_.SetRecord(&record_);
    switchPage_.SetRecord(&record_);
    settingPage_.Initialize();
    settingPage_.recordLoaded = 0;
    switchPage_.ready = false;
    tab_ = 0;
    result_ = DialogResult::Running;
    timers_.Arm(kTimerStartup, kStartupDelayMs);
    Changed();
}

void StatusSession::OnTimer(int id)
{
    BusyScope busy(*this);
    timers_.Stop(id);
    switch (id) {
    case kTimerStartup:
        SetProgress(0);
        if (!Handshake()) {
            SetProgress(100);
            EndDialog(DialogResult::Cancel);
        }
        SetProgress(100);
        settingPage_.Show();
        switchPage_.Show();
        SetButtons({StatusButton::GetStatus, StatusButton::Exit}, true);
        SetProgress(0);
        waitBox_ = false;
        break;
    case kTimerBlock:
        OnBlockTimer();
        break;
    case kTimerDownloadOk:
        OnDownloadSucceeded();
        break;
    case kTimerDownloadFailed:
        OnDownloadFailed();
        break;
    default:
        break;
    }
}

void StatusSession::Exit()
{
    for (int id : {kTimerBlock, kTimerDownloadOk, kTimerDownloadFailed, kTimerStartup})
        timers_.Stop(id);
    download_.Reset();
    waitBox_ = false;
    EndDialog(DialogResult::Cancel);
    Changed();
}

void StatusSession::TabChanged(int tab)
{
    tab_ = tab;
    if (tab == 0)
        switchPage_.ShowSwitch(switchPage_.currentPage, true);
    else
        settingPage_.Refresh(true);
    Changed();
}

// ---- Buttons ----------------------------------------------------------------------------

void StatusSession::GetStatus()
{
    BusyScope busy(*this);
    const auto before = buttons_;
    SetButtons({StatusButton::GetStatus, StatusButton::PrintStatus, StatusButton::PrintCodepage,
                StatusButton::SetStatus, StatusButton::SaveStatus, StatusButton::LoadStatus,
                StatusButton::InitializeStatus},
               false);
    Repaint();
    if (!Handshake()) {
        RefreshAll(false);
        SetButtons({StatusButton::GetStatus, StatusButton::PrintCodepage, StatusButton::PrintStatus,
                    StatusButton::LoadStatus, StatusButton::InitializeStatus},
                   false);
        EndDialog(DialogResult::Cancel);
        return;
    }
    if (!ReadSettings()) {
        // The printer stopped answering in the middle: the record and the pages keep
        // what they held, and the dialog stays as it was before the button.
        buttons_ = before;
        return;
    }
    switchPage_.Show();
    settingPage_.Show();
    settingPage_.recordLoaded = 1;
    RefreshAll(true);
    SetButtons({StatusButton::GetStatus, StatusButton::PrintStatus, StatusButton::PrintCodepage,
                StatusButton::SetStatus, StatusButton::SaveStatus, StatusButton::LoadStatus,
                StatusButton::InitializeStatus},
               true);
    switchPage_.ready = true;
    settingPage_.Refresh(true);
    switchPage_.ShowSwitch(switchPage_.currentPage, true);
    SetProgress(0);
}

void StatusSession::SetStatus()
{
    BusyScope busy(*this);
    if (!Handshake()) {
        RefreshAll(false);
        SetButtons({StatusButton::LoadStatus, StatusButton::InitializeStatus}, false);
        return;
    }
    WriteSettings();
}

void StatusSession::InitializeStatus()
{
    BusyScope busy(*this);
    record_.fontChoice = 1;
    settingPage_.Refresh(true);
    settingPage_.recordLoaded = 1;
    settingPage_.Show();
    SetButtons({StatusButton::GetStatus, StatusButton::PrintStatus, StatusButton::PrintCodepage,
                StatusButton::SetStatus, StatusButton::SaveStatus},
               true);
    switchPage_.ShowSwitch(switchPage_.currentPage, true);
    switchPage_.ResetAllPins();
    Repaint();
}

void StatusSession::PrintCodepage()
{
    BusyScope busy(*this);
    WriteCommand(kCmdPrintCodepage, sizeof kCmdPrintCodepage);
}

void StatusSession::PrintStatus()
{
    BusyScope busy(*this);
    if (!Handshake())
        return;
    WriteCommand(kCmdPrintStatusPage, sizeof kCmdPrintStatusPage);
    SetProgress(0);
}

void StatusSession::SaveStatus()
{
    BusyScope busy(*this);
    if (!chooser_)
        return;
    const auto path =
        chooser_->ChooseSave({kSaveStatusTitle, kStatusProposedName, kStatusExtension, kStatusFilter});
    if (path)
        SaveStatusTo(*path);
}

void StatusSession::LoadStatus()
{
    BusyScope busy(*this);
    if (!chooser_)
        return;
    const auto path =
        chooser_->ChooseOpen({kLoadStatusTitle, kStatusOpenPattern, kStatusExtension, kStatusFilter});
    if (path)
        LoadStatusFrom(*path);
}

bool StatusSession::SaveStatusTo(const std::string& path)
{
    const StatusFile::Result result = StatusFile::Save(path, record_);
    if (result != StatusFile::Result::Ok) {
        Message(StatusFile::Message(result, path).c_str(), kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool StatusSession::LoadStatusFrom(const std::string& path)
{
    const StatusFile::Result result = StatusFile::Load(path, record_);
    if (result != StatusFile::Result::Ok) {
        Message(StatusFile::Message(result, path).c_str(), kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    settingPage_.recordLoaded = 1;
    settingPage_.Show();
    SetButtons({StatusButton::GetStatus, StatusButton::PrintStatus, StatusButton::PrintCodepage,
                StatusButton::SetStatus, StatusButton::SaveStatus},
               true);
    settingPage_.Refresh(true);
    switchPage_.ShowSwitch(switchPage_.currentPage, true);
    Repaint();
    Changed();
    return true;
}

// ---- Exchanges --------------------------------------------------------------------------

bool StatusSession::Handshake()
{
    lostPrinter_ = false;
    std::uint8_t reply[20] = {};
    if (link_.Write(kCmdInitialize, sizeof kCmdInitialize) == 0) {
        // Nothing went out: the reply buffer still holds the command, so only the
        // polls below can find the printer.
        reply[0] = kCmdInitialize[0];
    } else {
        if (ByteWise())
            reader_.Discard(5);
        WriteCommand(kCmdSelectPeripheral, sizeof kCmdSelectPeripheral);
        if (!IdentifyModel()) {
            if (lostPrinter_)
                FailConnection();
            else
                Message(kMsgOtherCompany, kTitleInformation, MessageIcon::Exclamation);
            return false;
        }
        SetProgress(50);
        WriteCommand(kCmdAutoStatusOff, sizeof kCmdAutoStatusOff);
        if (ByteWise())
            reader_.Discard(5);
        SetProgress(70);
        WriteCommand(kCmdPrinterId3, sizeof kCmdPrinterId3);
        std::memset(reply, 0, sizeof reply);
        // The printer ID comes as a packet on USB only; Ethernet polls it byte-wise.
        if (type_ == Usb) {
            reader_.ReadPacket(reply, 16);
        } else {
            reader_.Pause(ReplyReader::kBytePauseMs);
            reader_.Read(reply, 1);
        }
        SetProgress(90);
    }
    if (reply[0] == kPrinterIdReply)
        return true;
    if (type_ != Usb) {
        for (int i = 0; i < 10; ++i) {
            reader_.Pause(ReplyReader::kBytePauseMs);
            reader_.Read(reply, 1);
            if (reply[0] == kPrinterIdReply)
                return true;
            std::memset(reply, 0, sizeof reply);
        }
    }
    FailConnection();
    return false;
}

bool StatusSession::IdentifyModel()
{
    // The model is tested only until the first successful identification.
    if (!settingPage_.firmwareText.empty())
        return true;
    if (!ReadVersionInfo())
        return false;
    WriteCommand(kCmdModelName, sizeof kCmdModelName);
    SetProgress(10);
    settingPage_.modelText.clear();
    const auto model = reader_.ReadText(16, [this] { StepProgress(); });
    if (!model) {
        lostPrinter_ = true;
        return false;
    }
    settingPage_.modelText = *model;
    if (ByteWise())
        reader_.Discard(5);
    SetProgress(30);
    if (settingPage_.modelText.find(kModelFamily) == std::string::npos) {
        Message(kMsgModelMismatch, kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    settingPage_.Show();
    return true;
}

bool StatusSession::ReadVersionInfo()
{
    if (ByteWise() && !reader_.Drain()) {
        lostPrinter_ = true;
        return false;
    }
    WriteCommand(kCmdFirmwareVersion, sizeof kCmdFirmwareVersion);
    const auto firmware = reader_.ReadText(64);
    if (!firmware || (ByteWise() && !reader_.Drain())) {
        lostPrinter_ = true;
        return false;
    }
    WriteCommand(kCmdLanguage, sizeof kCmdLanguage);
    const auto language = reader_.ReadText(64);
    if (!language) {
        lostPrinter_ = true;
        return false;
    }
    settingPage_.firmwareText = *firmware;
    settingPage_.languageText = *language;
    return true;
}

bool StatusSession::ReadSettings()
{
    lostPrinter_ = false;
    SetProgress(0);
    // Read into a copy, so a printer that stops answering leaves the record whole.
    SettingsRecord read = record_;
    for (int e = 0; e < kSwitchCount; ++e) {
        const std::uint8_t number = kSwitchNumbers[static_cast<std::size_t>(e)];
        std::uint8_t cmd[sizeof kCmdSwitchReadTemplate];
        std::memcpy(cmd, kCmdSwitchReadTemplate, sizeof cmd);
        cmd[kSwitchNumberIndex] = number;
        WriteCommand(cmd, sizeof cmd);
        std::uint8_t reply[20] = {};
        const std::uint8_t* chars = nullptr;
        if (!ByteWise()) {
            reader_.ReadPacket(reply, 16);
            chars = reply + 2;  // 37h, 21h, then the eight characters
        } else {
            reader_.Pause(ReplyReader::kBytePauseMs);
            reader_.Read(reply, 1);
            if (ReadsReplyAtOnce(number)) {
                reader_.Read(reply, 10);
                StepProgress();
            } else {
                StepProgress();
                if (!reader_.FindSwitchHeader(reply[0])) {
                    FailConnection();
                    return false;
                }
                reader_.Read(reply, 10);
            }
            chars = reply + 1;  // 21h, then the eight characters, then 00
        }
        // The first character is pin 8, the last pin 1.
        for (int pin = 1; pin <= kPinCount; ++pin) {
            read.Pin(e, pin) = PinStateFromWire(chars[kPinCount - pin]);
            StepProgress();
        }
    }

    WriteCommand(kCmdPowerSaveQuery, sizeof kCmdPowerSaveQuery);
    reader_.Pause(ReplyReader::kBytePauseMs);
    std::uint8_t power[4] = {};
    int got = 0;
    if (!ByteWise()) {
        got = reader_.ReadPacket(power, sizeof power);
    } else {
        reader_.Pause(ReplyReader::kBytePauseMs);
        got = reader_.Read(power, sizeof power);
    }
    // Bytes 1 and 2 carry the flag and the time; a shorter reply changes nothing.
    if (got >= 3) {
        if (power[1] == 0) {
            settingPage_.SetPowerSave(0);
            settingPage_.entranceTimeEnabled = false;
        } else {
            settingPage_.SetPowerSave(1);
            settingPage_.entranceTimeEnabled = true;
        }
        settingPage_.SetEntranceTime(power[2]);
    }
    if (ByteWise())
        reader_.Discard(5);
    WriteCommand(kCmdSelectPeripheral, sizeof kCmdSelectPeripheral);
    StepProgress();
    SetProgress(100);
    record_.entries = read.entries;
    Message(kMsgGetStatusOk, kTitleInformation, MessageIcon::Information);
    return true;
}

bool StatusSession::WriteSettings()
{
    settingPage_.Collect();
    // The power-save set is sent only with values that came from the printer or the
    // user, never with the page's blank state.
    const bool writePowerSave = settingPage_.powerSave == 0 || settingPage_.powerSave == 1;
    const int entrance = settingPage_.entranceTime;
    if (writePowerSave && (entrance < kEntranceTimeMin || entrance > kEntranceTimeMax)) {
        SetProgress(0);
        Message(kMsgEntranceRange, kTitleWarning, MessageIcon::Exclamation);
        settingPage_.SetEntranceTime(kEntranceTimeDefault);
        return false;
    }

    SetAllButtons(false);
    settingPage_.EnableAll(false);
    settingPage_.Show();
    Repaint();

    SetProgress(0);
    progressStep_ = kSettingStepSize;

    WriteCommand(kCmdUserModeEnter, sizeof kCmdUserModeEnter);
    std::uint8_t reply[20] = {};
    if (!ByteWise()) {
        reader_.ReadPacket(reply, 16);
    } else {
        reader_.Pause(ReplyReader::kBytePauseMs);
        reader_.Read(reply, 3);
    }
    StepProgress();

    for (int e = 0; e < kSwitchCount; ++e) {
        std::uint8_t cmd[sizeof kCmdSwitchWriteTemplate];
        std::memcpy(cmd, kCmdSwitchWriteTemplate, sizeof cmd);
        cmd[kSwitchNumberIndex] = kSwitchNumbers[static_cast<std::size_t>(e)];
        for (int pin = 1; pin <= kPinCount; ++pin)
            cmd[kSwitchCharsIndex + static_cast<std::size_t>(kPinCount - pin)] =
                static_cast<std::uint8_t>(PinStateToWire(record_.Pin(e, pin)));
        WriteCommand(cmd, sizeof cmd);
        if (e != kEntrySwitch4)
            StepProgress();
    }

    WriteCommand(kCmdUserModeEnd, sizeof kCmdUserModeEnd);
    reader_.Pause(ReplyReader::kBytePauseMs);
    if (writePowerSave) {
        std::uint8_t cmd[sizeof kCmdPowerSaveSetTemplate];
        std::memcpy(cmd, kCmdPowerSaveSetTemplate, sizeof cmd);
        cmd[4] = settingPage_.powerSave != 0 ? 0x01 : 0x00;
        cmd[5] = static_cast<std::uint8_t>(entrance & 0xFF);
        WriteCommand(cmd, sizeof cmd);
    }
    WriteCommand(kCmdSelectPeripheral, sizeof kCmdSelectPeripheral);
    for (int i = 0; i < 2; ++i) {
        StepProgress();
        reader_.Pause(kRestartPauseMs);
        StepProgress();
    }
    switchPage_.ShowSwitch(switchPage_.currentPage, true);
    SetProgress(100);

    const int fontIndex = settingPage_.doubleFontIndex;
    if (fontIndex != 0 && fontIndex != 1 && FontResourceId(fontIndex) != 0) {
        settingPage_.doubleFontEnabled = false;
        settingPage_.codePageEnabled = false;
        Message(kMsgFirmwareChanged, kAppName, MessageIcon::Information);
        SetProgress(0);
        settingPage_.doubleFontEnabled = false;
        settingPage_.Show();
        Repaint();
        StartFontDownload(fontIndex);
        return true;
    }

    const bool versionRead = ReadVersionInfo();
    settingPage_.Show();
    settingPage_.Refresh(true);
    if (versionRead)
        Message(kMsgSetStatusOk, kAppName, MessageIcon::Information);
    else
        FailConnection();
    SetProgress(0);
    SetAllButtons(true);
    Repaint();
    return versionRead;
}

// ---- Font download ----------------------------------------------------------------------

void StatusSession::StartFontDownload(int doubleFontIndex)
{
    download_.Reset();
    progressStep_ = kDownloadStepSize;
    SetProgress(kDownloadStartPosition);
    const int id = FontResourceId(doubleFontIndex);
    const std::span<const std::uint8_t> image = id != 0 ? fonts_(id) : std::span<const std::uint8_t>{};
    if (image.empty()) {
        timers_.Arm(kTimerDownloadFailed, kDownloadTimerMs);
        return;
    }
    download_.Start(std::vector<std::uint8_t>(image.begin(), image.end()));
    StepProgress();
    timers_.Arm(kTimerBlock, kDownloadTimerMs);
}

void StatusSession::OnBlockTimer()
{
    if (!download_.Active())
        return;
    const FontDownload::Step step = download_.SendBlock();
    if (step.progressStep)
        StepProgress();
    switch (step.next) {
    case FontDownload::Next::SendBlock:
        timers_.Arm(kTimerBlock, kDownloadTimerMs);
        break;
    case FontDownload::Next::Failed:
        timers_.Arm(kTimerDownloadFailed, kDownloadTimerMs);
        break;
    case FontDownload::Next::LastBlockFailed:
        SetProgress(100);
        Message(kMsgFontLastBlockError, kAppName, MessageIcon::Information);
        timers_.Arm(kTimerDownloadFailed, kDownloadTimerMs);
        break;
    case FontDownload::Next::Succeeded:
        SetProgress(100);
        timers_.Arm(kTimerDownloadOk, kDownloadTimerMs);
        break;
    }
}

void StatusSession::OnDownloadSucceeded()
{
    if (ByteWise()) {
        std::uint8_t byte = 0;
        for (int i = 0; i < 10; ++i) {
            reader_.Pause(kDrainAfterDownloadMs);
            reader_.Read(&byte, 1);
        }
    }
    // The font went out whole; texts that cannot be read now simply stay as they were.
    ReadVersionInfo();
    settingPage_.Show();
    settingPage_.Refresh(true);
    Message(kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information);
    SetAllButtons(true);
    SetProgress(0);
    download_.Reset();
    EndDialog(DialogResult::Ok);
}

void StatusSession::OnDownloadFailed()
{
    Message(kMsgFontDownloadFailed, kTitleWarning, MessageIcon::Exclamation);
    SetAllButtons(true);
    SetProgress(0);
    download_.Reset();
}

}  // namespace zorvik
