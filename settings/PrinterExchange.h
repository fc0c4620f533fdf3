#pragma once
// The printer's protocol on one open link, without any window: the handshake with
// identification, the version texts, reading and writing the memory switches and
// power save, the print commands and the font download engine. Every operation
// returns a plain value or a failure; nothing here touches a page or a dialog. The
// "Printer Status" dialog and the command-line tool both sit on it.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Pacer.h"
#include "link/PrinterLink.h"
#include "resources/SettingsTexts.h"
#include "settings/FontDownload.h"
#include "settings/PrinterHealth.h"
#include "settings/ReplyReader.h"
#include "settings/SettingsRecord.h"

namespace zorvik {

enum class ExchangeStatus {
    Ok,
    NoReply,        // a reply did not come whole and well formed within its bound
    Disconnected,   // the connection closed or failed, or a command did not go out
    ModelMismatch,  // the model name does not name a supported printer
};

// Texts the printer reports; a text not (yet) read has no value.
struct PrinterTexts {
    std::optional<std::string> firmware;
    std::optional<std::string> language;
    std::optional<std::string> model;
};

// A whole read of the printer's settings.
struct PrinterSettings {
    std::array<SwitchEntry, kSwitchCount> switches{};  // slots 1..8 of every entry filled
    std::optional<PowerSaveReply> powerSave;           // none when the reply was not of its form
};

// Where the dialog's progress bar follows an exchange.
struct ExchangeProgress {
    std::function<void(int position)> position;
    std::function<void()> step;
};

class PrinterExchange {
public:
    static constexpr std::uint32_t kRestartPauseMs = 1000;  // twice, while the printer stores and restarts
    static constexpr std::uint32_t kDrainAfterDownloadMs = 50;
    static constexpr int kDrainAfterDownloadReads = 10;

    PrinterExchange(PrinterLink& link, InterfaceType type, Pacer& pacer);

    InterfaceType Type() const { return reader_.Type(); }
    bool ByteWise() const { return reader_.ByteWise(); }
    void SetProgress(ExchangeProgress progress) { progress_ = std::move(progress); }

    // ESC @, ESC = 1, the identification (when `identify` is given: the version
    // texts and the model, which must hold "LXT-"), GS a 0 and GS I 3 answered by
    // "o". The texts read are left in *identify even when the model does not match.
    ExchangeStatus Handshake(PrinterTexts* identify);
    // The firmware and language texts (drained before and between on serial and
    // parallel).
    ExchangeStatus ReadVersionInfo(PrinterTexts& texts);
    // The eight switches and power save, after a handshake. *out is written only
    // when every switch reply came whole; a power-save reply not of its form leaves
    // out->powerSave empty without failing.
    ExchangeStatus ReadSettings(PrinterSettings& out);
    // The eight switches ("2" for a pin in state 0) between the user-setting-mode
    // commands, power save when given, then the printer's restart; after a handshake.
    // Disconnected as soon as a command does not go out whole.
    ExchangeStatus WriteSettings(const std::array<SwitchEntry, kSwitchCount>& switches,
                                 const std::optional<PowerSaveReply>& powerSave);
    // The real-time status: DLE EOT 1 to 4, one framed byte each, after a handshake.
    // *out is written only when all four came and nothing followed them; a printer
    // that babbles on is NoReply.
    ExchangeStatus ReadHealth(PrinterHealth& out);
    // The status page and the code-page table; Disconnected when the command did not go out.
    ExchangeStatus PrintStatusPage();
    ExchangeStatus PrintCodepage();

    // The font download engine, driven block by block by its caller's timer.
    FontDownload& Download() { return download_; }
    // After a successful download on serial and parallel: drops what the printer
    // sends while it restarts.
    void SettleAfterDownload();

    // The fn 3 command for one switch: "1" on, "0" off, "2" no change.
    using SwitchWrite = std::array<std::uint8_t, sizeof kCmdSwitchWriteTemplate>;
    static SwitchWrite SwitchWriteCommand(int entry, const SwitchEntry& pins);

private:
    ExchangeStatus IdentifyModel(PrinterTexts& texts);
    ExchangeStatus Lost() const;
    // True when the printer keeps sending where it should be quiet: byte-wise the
    // discarded reads all bring bytes; as packets, bytes keep coming.
    bool Babbling();
    void Position(int position);
    void Step();

    PrinterLink& link_;
    ReplyReader reader_;
    FontDownload download_;
    ExchangeProgress progress_;
};

}  // namespace zorvik
