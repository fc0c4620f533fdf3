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
constexpr int kEntranceTimeDefault = 20;
constexpr int kSettingStepSize = 10;
constexpr int kDownloadStepSize = 1;
constexpr int kDownloadStartPosition = 10;

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
    : type_(type), notifier_(notifier), timers_(timers), chooser_(chooser),
      fonts_(fonts ? std::move(fonts) : FontImageLookup(&FontImages::Find)), exchange_(link, type, pacer)
{
    exchange_.SetProgress({[this](int position) { SetProgress(position); }, [this] { StepProgress(); }});
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
    settingPage_.recordLoaded = false;
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
    exchange_.Download().Reset();
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
    settingPage_.recordLoaded = true;
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
    settingPage_.recordLoaded = true;
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
    exchange_.PrintCodepage();
}

void StatusSession::PrintStatus()
{
    BusyScope busy(*this);
    if (!Handshake())
        return;
    exchange_.PrintStatusPage();
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
    std::string reason;
    const StatusFile::Result result = StatusFile::Load(path, record_, &reason);
    if (result != StatusFile::Result::Ok) {
        Message(StatusFile::Message(result, path, reason).c_str(), kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    settingPage_.recordLoaded = true;
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

bool StatusSession::Fail(ExchangeStatus status)
{
    if (status == ExchangeStatus::ModelMismatch) {
        Message(kMsgModelMismatch, kTitleWarning, MessageIcon::Exclamation);
        Message(kMsgOtherCompany, kTitleInformation, MessageIcon::Exclamation);
    } else if (status != ExchangeStatus::Ok) {
        FailConnection();
    }
    return status == ExchangeStatus::Ok;
}

bool StatusSession::Handshake()
{
    // The model is tested only until the first successful identification.
    const bool identify = settingPage_.firmwareText.empty();
    PrinterTexts texts;
    const ExchangeStatus status = exchange_.Handshake(identify ? &texts : nullptr);
    if (texts.firmware) {
        settingPage_.firmwareText = *texts.firmware;
        settingPage_.languageText = texts.language.value_or("");
        settingPage_.modelText = texts.model.value_or("");
    }
    if (status == ExchangeStatus::Ok && identify)
        settingPage_.Show();
    return Fail(status);
}

bool StatusSession::ReadVersionInfo()
{
    PrinterTexts texts;
    if (exchange_.ReadVersionInfo(texts) != ExchangeStatus::Ok)
        return false;
    settingPage_.firmwareText = *texts.firmware;
    settingPage_.languageText = *texts.language;
    return true;
}

bool StatusSession::ReadSettings()
{
    PrinterSettings read;
    if (!Fail(exchange_.ReadSettings(read)))
        return false;
    // Every pin slot comes from the printer; slot 0 of each entry stays as it was.
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            record_.Pin(e, pin) =
                read.switches[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)];
    if (read.powerSave) {
        settingPage_.SetPowerSave(read.powerSave->enabled);
        settingPage_.entranceTimeEnabled = read.powerSave->enabled != 0;
        settingPage_.SetEntranceTime(read.powerSave->seconds);
    }
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
    std::optional<PowerSaveReply> powerSave;
    if (writePowerSave)
        powerSave = PowerSaveReply{settingPage_.powerSave, entrance};
    const ExchangeStatus written = exchange_.WriteSettings(record_.entries, powerSave);
    if (written != ExchangeStatus::Ok) {
        // The printer went away before it took everything: no success, and the
        // dialog is usable again for another try.
        Fail(written);
        settingPage_.Show();
        settingPage_.Refresh(true);
        SetAllButtons(true);
        Repaint();
        return false;
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
    exchange_.Download().Reset();
    progressStep_ = kDownloadStepSize;
    SetProgress(kDownloadStartPosition);
    const int id = FontResourceId(doubleFontIndex);
    const std::span<const std::uint8_t> image = id != 0 ? fonts_(id) : std::span<const std::uint8_t>{};
    if (image.empty()) {
        timers_.Arm(kTimerDownloadFailed, kDownloadTimerMs);
        return;
    }
    exchange_.Download().Start(std::vector<std::uint8_t>(image.begin(), image.end()));
    StepProgress();
    timers_.Arm(kTimerBlock, kDownloadTimerMs);
}

void StatusSession::OnBlockTimer()
{
    if (!exchange_.Download().Active())
        return;
    const FontDownload::Step step = exchange_.Download().SendBlock();
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
    exchange_.SettleAfterDownload();
    // The font went out whole; texts that cannot be read now simply stay as they were.
    ReadVersionInfo();
    settingPage_.Show();
    settingPage_.Refresh(true);
    Message(kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information);
    SetAllButtons(true);
    SetProgress(0);
    exchange_.Download().Reset();
    EndDialog(DialogResult::Ok);
}

void StatusSession::OnDownloadFailed()
{
    Message(kMsgFontDownloadFailed, kTitleWarning, MessageIcon::Exclamation);
    SetAllButtons(true);
    SetProgress(0);
    exchange_.Download().Reset();
}

}  // namespace zorvik
