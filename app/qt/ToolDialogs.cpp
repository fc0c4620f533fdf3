#include "app/qt/ToolDialogs.h"

#include "cmdtest/qt/CommandEditorDialog.h"
#include "settings/qt/StatusDialog.h"

namespace zorvik {

// The "Printer Status" dialog has no owner window.
bool RunStatusDialogModal(PrinterLink& link, InterfaceType type, QWidget*)
{
    StatusDialog dialog(link, type);
    return dialog.exec() == QDialog::Accepted;
}

void RunCommandEditorModal(PrinterLink& link, InterfaceType type, QWidget* parent)
{
    CommandEditorDialog editor(link, type, parent);
    editor.exec();
}

}  // namespace zorvik
