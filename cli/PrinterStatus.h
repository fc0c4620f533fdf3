#pragma once
// The printer's settings exchanges for one connected printer of the command line,
// straight on the exchange layer: a whole read (switches, power save, texts), a
// write of exactly the switches and power save asked for with the font download
// when one is due, and the two print commands. Outcomes are shown through the
// printer's notifier with the messages the window shows.
#include <array>
#include <optional>
#include <string>

#include "cli/PrinterSession.h"
#include "cli/StatusReport.h"
#include "settings/PrinterExchange.h"

namespace zorvik {

class PrinterStatus {
public:
    explicit PrinterStatus(PrinterSession& printer);

    // Handshake and the read of the eight switches and power save. False when the
    // read was not whole: nothing read is kept then.
    bool Read();
    // Handshake and the write; a double-byte font list index 2 to 6 runs the font
    // download to its end.
    bool Write(const std::array<SwitchEntry, kSwitchCount>& switches,
               const std::optional<PowerSaveReply>& powerSave, int doubleFontIndex);
    // Handshake, then the status page; the code page goes without a handshake, as
    // the window sends it.
    bool PrintStatusPage();
    bool PrintCodepage();

    // Whether the last Write got the switches and power save taken (a font download
    // may still have failed after them).
    bool WriteTaken() const { return writeTaken_; }

    // The last whole read.
    const SettingsRecord& Record() const { return record_; }
    const std::optional<PowerSaveReply>& PowerSave() const { return powerSave_; }
    PrinterFacts Facts() const;

private:
    bool Handshake();
    // Shows what a failed exchange means; true for Ok.
    bool Report(ExchangeStatus status);
    bool DownloadFont(int doubleFontIndex);
    void Show(const char* text, const char* title, MessageIcon icon);

    PrinterSession& printer_;
    PrinterExchange exchange_;
    PrinterTexts texts_;
    SettingsRecord record_;
    std::optional<PowerSaveReply> powerSave_;
    std::string phase_;
    int position_ = 0;
    int stepSize_ = 0;
    bool writeTaken_ = false;
};

}  // namespace zorvik
