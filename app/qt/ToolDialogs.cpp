#include "app/qt/ToolDialogs.h"

#include "base/qt/QtNotifier.h"
#include "cmdtest/qt/CommandEditorDialog.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"

namespace zorvik {

// The "Printer Status" dialog is not part of this build yet: when it is, this makes a
// StatusDialog(link, type) and returns exec() == QDialog::Accepted.
bool RunStatusDialogModal(PrinterLink&, InterfaceType, QWidget* parent)
{
    QtNotifier(parent).Show(kMsgToolMissing, kTitleInformation, MessageIcon::Information);
    return false;
}

void RunCommandEditorModal(PrinterLink& link, InterfaceType type, QWidget* parent)
{
    CommandEditorDialog editor(link, type, parent);
    editor.exec();
}

}  // namespace zorvik
