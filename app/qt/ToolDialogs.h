#pragma once
// The tool dialogs the main window opens, each made anew for every opening and run
// modally on the main window's link.
#include <QWidget>

#include "app/ToolLauncher.h"

namespace zorvik {

// Shows the "Printer Status" dialog; true when it ended with OK.
bool RunStatusDialogModal(PrinterLink& link, InterfaceType type, QWidget* parent);
void RunCommandEditorModal(PrinterLink& link, InterfaceType type, QWidget* parent);

class DialogToolLauncher final : public ToolLauncher {
public:
    explicit DialogToolLauncher(QWidget* parent = nullptr) : parent_(parent) {}
    bool RunStatusDialog(PrinterLink& link, InterfaceType type) override
    {
        return RunStatusDialogModal(link, type, parent_);
    }
    void RunCommandEditor(PrinterLink& link, InterfaceType type) override
    {
        RunCommandEditorModal(link, type, parent_);
    }

private:
    QWidget* parent_;
};

}  // namespace zorvik
