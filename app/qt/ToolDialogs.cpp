#include "app/qt/ToolDialogs.h"

#include "base/qt/QtNotifier.h"
#include "cmdtest/qt/CommandEditorDialog.h"
#if __has_include("settings/qt/StatusDialog.h")
#include "settings/qt/StatusDialog.h"
#endif
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"

namespace zorvik {

#if __has_include("settings/qt/StatusDialog.h")
// The "Printer Status" dialog has no owner window.
bool RunStatusDialogModal(PrinterLink& link, InterfaceType type, QWidget*)
{
    StatusDialog dialog(link, type);
    return dialog.exec() == QDialog::Accepted;
}
#else
// Builds without the "Printer Status" dialog say so instead of opening it.
bool RunStatusDialogModal(PrinterLink&, InterfaceType, QWidget* parent)
{
    QtNotifier(parent).Show(kMsgToolMissing, kTitleInformation, MessageIcon::Information);
    return false;
}
#endif

void RunCommandEditorModal(PrinterLink& link, InterfaceType type, QWidget* parent)
{
    CommandEditorDialog editor(link, type, parent);
    editor.exec();
}

}  // namespace zorvik
