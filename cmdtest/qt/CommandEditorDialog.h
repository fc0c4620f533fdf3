#pragma once
// The "Command Test Editor": hexadecimal command text with canned commands, sent
// to the printer over the main window's open link, kept in command files.
#include <QDialog>
#include <memory>

#include "link/PortSettings.h"

namespace zorvik {

class PrinterLink;

class CommandEditorDialog : public QDialog {
    Q_OBJECT

public:
    // The link is borrowed: the editor only writes to it, never opens or closes it.
    CommandEditorDialog(PrinterLink& link, InterfaceType type, QWidget* parent = nullptr);
    ~CommandEditorDialog() override;

    // A close request while a handler writes to the printer waits until it ends.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Collect();
    // Shows the text (appending only what is new, so long texts stay quick) and the boxes.
    void Render();
    void ScrollToEnd();
    void Connect();
    template <typename Picker>
    void AppendFromPicker();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zorvik
