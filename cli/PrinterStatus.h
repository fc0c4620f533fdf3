#pragma once
// The "Printer Status" dialog's exchanges for one connected printer, without the
// window: the same StatusSession, its timers fired in a loop, its progress handed to
// the printer's progress sink.
#include "cli/LoopTimerHost.h"
#include "cli/PrinterSession.h"
#include "cli/StatusReport.h"
#include "settings/StatusSession.h"

namespace zorvik {

class PrinterStatus {
public:
    explicit PrinterStatus(PrinterSession& printer);

    // Handshake and Get Status; the pages are then refreshed from the record.
    bool Read();
    // Handshake and Set Status of the record and the setting page's power save; a
    // double-byte font choice runs the font download to its end.
    bool Write();
    // Handshake, then the status page or (no handshake, as the window) the code page.
    bool PrintStatusPage();
    bool PrintCodepage();

    PrinterFacts Facts();
    SettingsRecord& Record() { return session_.Record(); }
    PrinterSettingModel& Page() { return session_.SettingPage(); }
    StatusSession& Session() { return session_; }

private:
    PrinterSession& printer_;
    LoopTimerHost timers_;
    StatusSession session_;
    std::string phase_;
};

}  // namespace zorvik
