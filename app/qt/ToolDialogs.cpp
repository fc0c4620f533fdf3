#include "app/qt/ToolDialogs.h"

#include "base/qt/QtNotifier.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"

namespace zorvik {

// The "Printer Status" dialog is not part of this build yet.
bool RunStatusDialogModal(PrinterLink&, InterfaceType, QWidget* parent)
{
    QtNotifier(parent).Show(kMsgToolMissing, kTitleInformation, MessageIcon::Information);
    return false;
}

// The command editor is not part of this build yet.
void RunCommandEditorModal(PrinterLink&, InterfaceType, QWidget* parent)
{
    QtNotifier(parent).Show(kMsgToolMissing, kTitleInformation, MessageIcon::Information);
}

}  // namespace zorvik
