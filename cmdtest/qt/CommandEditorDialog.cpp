#include "cmdtest/qt/CommandEditorDialog.h"

#include <QTextCursor>

#include "base/qt/BusyGuard.h"
#include "base/qt/QtFileChooser.h"
#include "base/qt/QtNotifier.h"
#include "base/qt/WindowSize.h"
#include "cmdtest/CommandEditor.h"
#include "cmdtest/qt/CodepageDialog.h"
#include "cmdtest/qt/LineSpacingDialog.h"
#include "cmdtest/qt/SelectAddressDialog.h"
#include "resources/EditorTexts.h"
#include "ui_CommandEditorDialog.h"

namespace zorvik {

struct CommandEditorDialog::Impl {
    Impl(PrinterLink& link, QWidget* owner) : notifier(owner), files(owner), editor(link, notifier, files) {}

    Ui::CommandEditorDialog ui;
    QtNotifier notifier;
    QtFileChooser files;
    CommandEditor editor;
    BusyState busy;
    bool rendering = false;
};

// The interface type is not needed: the editor only writes and never reads replies.
CommandEditorDialog::CommandEditorDialog(PrinterLink& link, InterfaceType /*type*/, QWidget* parent)
    : QDialog(parent), impl_(std::make_unique<Impl>(link, this))
{
    impl_->ui.setupUi(this);
    setWindowTitle(kEditorCaption);
    // Tab and Shift+Tab move on from the command box as from every other field.
    impl_->ui.editCommand->setTabChangesFocus(true);
    // Enter never presses a button: nothing is sent unless the user clicks for it.
    for (auto* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    Connect();
    Render();
    KeepDesignedSize(this);
}

CommandEditorDialog::~CommandEditorDialog() = default;

template <typename Picker> void CommandEditorDialog::AppendFromPicker()
{
    Picker picker(this);
    if (picker.exec() == QDialog::Accepted) {
        Collect();
        impl_->editor.Append(picker.State().CommandText());
    }
    Render();
    ScrollToEnd();
}

void CommandEditorDialog::Connect()
{
    auto& ui = impl_->ui;
    auto& editor = impl_->editor;
    // The stored text follows every edit at once.
    connect(ui.editCommand, &QPlainTextEdit::textChanged, this, [this] {
        if (!impl_->rendering)
            impl_->editor.SetText(impl_->ui.editCommand->toPlainText().toStdString());
    });

    const std::pair<QAbstractButton*, CannedCommand> canned[] = {
        {ui.buttonFontA, CannedCommand::FontA},
        {ui.buttonFontB, CannedCommand::FontB},
        {ui.checkBold, CannedCommand::Bold},
        {ui.checkUnderline, CannedCommand::Underline},
        {ui.buttonAlignLeft, CannedCommand::AlignLeft},
        {ui.buttonAlignCenter, CannedCommand::AlignCenter},
        {ui.buttonAlignRight, CannedCommand::AlignRight},
        {ui.buttonPaperCut, CannedCommand::PaperCut},
        {ui.buttonFeed, CannedCommand::Feed},
        {ui.buttonDrawer1, CannedCommand::Drawer1},
        {ui.buttonDrawer2, CannedCommand::Drawer2},
    };
    for (const auto& [button, command] : canned) {
        connect(button, &QAbstractButton::clicked, this, [this, command] {
            Collect();
            impl_->editor.AppendCanned(command);
            Render();
            ScrollToEnd();
        });
    }
    connect(ui.buttonLineSpacing, &QPushButton::clicked, this,
            [this] { AppendFromPicker<LineSpacingDialog>(); });
    connect(ui.buttonSelectCodepage, &QPushButton::clicked, this,
            [this] { AppendFromPicker<CodepageDialog>(); });
    connect(ui.buttonPrintNvImage, &QPushButton::clicked, this,
            [this] { AppendFromPicker<SelectAddressDialog>(); });

    // Handlers that talk to the printer keep the window until they end.
    const std::pair<QPushButton*, void (CommandEditor::*)()> actions[] = {
        {ui.buttonWriteCommand, &CommandEditor::WriteCommand},
        {ui.buttonPrintTestString, &CommandEditor::PrintTestString},
        {ui.buttonClear, &CommandEditor::Clear},
        {ui.buttonSave, &CommandEditor::Save},
        {ui.buttonLoad, &CommandEditor::Load},
    };
    for (const auto& [button, action] : actions) {
        connect(button, &QPushButton::clicked, this, [this, &editor, action] {
            BusyGuard guard(impl_->busy, this);
            Collect();
            (editor.*action)();
            Render();
        });
    }
    connect(ui.buttonClose, &QPushButton::clicked, this, &QDialog::reject);
}

void CommandEditorDialog::Collect()
{
    auto& ui = impl_->ui;
    impl_->editor.SetText(ui.editCommand->toPlainText().toStdString());
    impl_->editor.SetBold(ui.checkBold->isChecked());
    impl_->editor.SetUnderline(ui.checkUnderline->isChecked());
}

void CommandEditorDialog::Render()
{
    auto& ui = impl_->ui;
    impl_->rendering = true;
    const QString shown = ui.editCommand->toPlainText();
    const QString wanted = QString::fromStdString(impl_->editor.Text());
    if (wanted != shown) {
        if (!shown.isEmpty() && wanted.startsWith(shown)) {
            QTextCursor end(ui.editCommand->document());
            end.movePosition(QTextCursor::End);
            end.insertText(wanted.mid(shown.size()));
        } else {
            ui.editCommand->setPlainText(wanted);
        }
    }
    ui.checkBold->setChecked(impl_->editor.Bold());
    ui.checkUnderline->setChecked(impl_->editor.Underline());
    impl_->rendering = false;
}

void CommandEditorDialog::ScrollToEnd()
{
    QPlainTextEdit* edit = impl_->ui.editCommand;
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
}

// The close box and Escape come here too (QDialog's closeEvent calls reject).
void CommandEditorDialog::reject()
{
    if (impl_->busy.DeferClose())
        return;
    QDialog::reject();
}

}  // namespace zorvik
