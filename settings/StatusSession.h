#pragma once
// The "Printer Status" dialog without its widgets: the record, the two page models,
// the eight buttons' enable states, the progress bar, the wait box, the result and
// every handler. The bytes go through a PrinterExchange; this class turns its values
// and failures into pages, buttons and messages. Messages go through the Notifier,
// timers through the TimerHost, file names through the FileChooser. The widgets bind
// to the fields and re-render on onChanged.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "base/FileChooser.h"
#include "base/Notifier.h"
#include "base/Pacer.h"
#include "base/TimerHost.h"
#include "link/PrinterLink.h"
#include "settings/MemorySwitchModel.h"
#include "settings/PrinterExchange.h"
#include "settings/PrinterSettingModel.h"
#include "settings/SettingsRecord.h"

namespace zorvik {

enum class StatusButton : int {
    GetStatus,
    PrintStatus,
    PrintCodepage,
    SetStatus,
    SaveStatus,
    LoadStatus,
    InitializeStatus,
    Exit,
};
inline constexpr int kStatusButtonCount = 8;

enum class DialogResult { Running, Ok, Cancel };

// Finds a font image by resource id; the default looks in the embedded images.
using FontImageLookup = std::function<std::span<const std::uint8_t>(int resourceId)>;

class StatusSession final : public TimerClient {
public:
    // Timer ids.
    static constexpr int kTimerBlock = 1;
    static constexpr int kTimerDownloadOk = 2;
    static constexpr int kTimerDownloadFailed = 3;
    static constexpr int kTimerStartup = 18;
    static constexpr std::uint32_t kStartupDelayMs = 1000;
    static constexpr std::uint32_t kDownloadTimerMs = 10;

    StatusSession(PrinterLink& link, InterfaceType type, Pacer& pacer, Notifier& notifier, TimerHost& timers,
                  FileChooser* chooser = nullptr, FontImageLookup fonts = {});
    ~StatusSession() override;
    StatusSession(const StatusSession&) = delete;
    StatusSession& operator=(const StatusSession&) = delete;

    // Dialog initialisation: shows the wait box, disables every button, zeroes the
    // record, binds the pages and arms the start-up timer.
    void Initialize();

    // ---- Handlers ----
    void OnTimer(int id) override;
    void GetStatus();
    void SetStatus();
    void SaveStatus();
    void LoadStatus();
    void InitializeStatus();
    void PrintCodepage();
    void PrintStatus();
    // Exit, the close box or Esc: result Cancel; stops every timer.
    void Exit();
    // Tab 0 "Memory switch", 1 "Printer Setting".
    void TabChanged(int tab);

    // ---- The dialog's halves of the exchanges ----
    // The handshake, identifying the model until the first success; failures are shown.
    bool Handshake();
    // The version texts onto the setting page. False when they did not come whole.
    bool ReadVersionInfo();
    // Reads the eight switches and the power-save setting into the record and the
    // setting page. False (record and pages untouched) when the read was not whole.
    bool ReadSettings();
    // Writes the eight switches and the power-save setting. False when refused
    // (entrance time), when the printer went away, or when the closing version read failed.
    bool WriteSettings();
    void StartFontDownload(int doubleFontIndex);
    // The file-level halves of Save and Load Status, for callers that already have
    // a path; they report failures through the notifier.
    bool SaveStatusTo(const std::string& path);
    bool LoadStatusFrom(const std::string& path);

    // ---- State the widgets render ----
    SettingsRecord& Record() { return record_; }
    const SettingsRecord& Record() const { return record_; }
    PrinterSettingModel& SettingPage() { return settingPage_; }
    MemorySwitchModel& SwitchPage() { return switchPage_; }
    InterfaceType Interface() const { return type_; }
    bool ButtonEnabled(StatusButton b) const { return buttons_[static_cast<std::size_t>(b)]; }
    int ProgressPosition() const { return progressPos_; }
    int ProgressStep() const { return progressStep_; }
    bool WaitBoxVisible() const { return waitBox_; }
    DialogResult Result() const { return result_; }
    int CurrentTab() const { return tab_; }
    // True while a handler runs; a close request then waits until it has ended.
    bool Busy() const { return busy_ > 0; }
    const FontDownload& Download() { return exchange_.Download(); }
    PrinterExchange& Exchange() { return exchange_; }

    // Called after every handler and timer tick so the widgets re-render.
    std::function<void()> onChanged;
    // Called where the dialog repaints at once in the middle of an exchange.
    std::function<void()> onRepaint;
    // Called whenever the progress position moves, also in the middle of an exchange.
    std::function<void(int position)> onProgress;

private:
    struct BusyScope;
    void SetButtons(std::initializer_list<StatusButton> buttons, bool enabled);
    void SetAllButtons(bool enabled);
    void SetProgress(int position);
    void StepProgress();
    void Repaint();
    void Changed();
    void Message(const char* text, const char* title, MessageIcon icon);
    void EndDialog(DialogResult result);
    void RefreshAll(bool enabled);
    void FailConnection();
    // Shows what a failed exchange means and returns false.
    bool Fail(ExchangeStatus status);
    void OnBlockTimer();
    void OnDownloadSucceeded();
    void OnDownloadFailed();

    InterfaceType type_;
    Notifier& notifier_;
    TimerHost& timers_;
    FileChooser* chooser_;
    FontImageLookup fonts_;
    PrinterExchange exchange_;

    SettingsRecord record_;
    PrinterSettingModel settingPage_;
    MemorySwitchModel switchPage_;
    std::array<bool, kStatusButtonCount> buttons_{};
    int progressPos_ = 0;
    int progressStep_ = 0;
    bool waitBox_ = false;
    DialogResult result_ = DialogResult::Running;
    int tab_ = 0;
    int busy_ = 0;
};

}  // namespace zorvik
