#include "cli/PrinterStatus.h"

#include "resources/SettingsTexts.h"

namespace zorvik {

PrinterStatus::PrinterStatus(PrinterSession& printer)
    : printer_(printer),
      session_(printer.Link(), printer.Type(), printer.GetPacer(), printer.GetNotifier(), timers_)
{
    session_.onProgress = [this](int position) { printer_.Progress(phase_, position); };
}

bool PrinterStatus::Read()
{
    phase_ = "reading";
    printer_.Progress(phase_, 0);
    if (!session_.Handshake() || !session_.ReadSettings())
        return false;
    // What the window does after a successful Get Status.
    PrinterSettingModel& page = session_.SettingPage();
    page.recordLoaded = 1;
    page.Refresh(true);
    session_.SwitchPage().ready = true;
    return true;
}

bool PrinterStatus::Write()
{
    phase_ = "writing";
    printer_.Progress(phase_, 0);
    if (!session_.Handshake() || !session_.WriteSettings())
        return false;
    if (!timers_.Armed())
        return true;
    phase_ = "font download";
    timers_.Run(session_, printer_.GetPacer());
    return session_.Result() == DialogResult::Ok;
}

bool PrinterStatus::PrintStatusPage()
{
    phase_ = "printing";
    if (!session_.Handshake())
        return false;
    // The body of the dialog's Print Status after its handshake.
    return printer_.Link().Write(kCmdPrintStatusPage, sizeof kCmdPrintStatusPage) ==
           static_cast<int>(sizeof kCmdPrintStatusPage);
}

bool PrinterStatus::PrintCodepage()
{
    // The dialog's Print Codepage: the command alone, no handshake.
    return printer_.Link().Write(kCmdPrintCodepage, sizeof kCmdPrintCodepage) ==
           static_cast<int>(sizeof kCmdPrintCodepage);
}

PrinterFacts PrinterStatus::Facts()
{
    const PrinterSettingModel& page = session_.SettingPage();
    return {page.modelText, page.firmwareText, page.languageText, page.powerSave, page.entranceTime};
}

}  // namespace zorvik
