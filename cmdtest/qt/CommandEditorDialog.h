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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zorvik
