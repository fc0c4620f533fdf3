#pragma once
// Opens the two tool dialogs on the main window's open link. The windows use the
// real dialogs; tests substitute their own launcher.
#include "link/PrinterLink.h"

namespace zorvik {

class ToolLauncher {
public:
    virtual ~ToolLauncher() = default;
    // Shows a new "Printer Status" dialog modally; true when it ended with OK (after a
    // font download), which ends the program.
    virtual bool RunStatusDialog(PrinterLink& link, InterfaceType type) = 0;
    // Shows a new command editor modally.
    virtual void RunCommandEditor(PrinterLink& link, InterfaceType type) = 0;
};

}  // namespace zorvik
