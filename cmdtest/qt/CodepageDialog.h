#pragma once
// "Select Codepage": picks the code table for ESC t n.
#include <QDialog>
#include <memory>

#include "cmdtest/CodepagePicker.h"

namespace Ui {
class CodepageDialog;
}

namespace zorvik {

class CodepageDialog : public QDialog {
    Q_OBJECT

public:
    explicit CodepageDialog(QWidget* parent = nullptr);
    ~CodepageDialog() override;
    // The choice as the controls held it when OK was pressed.
    const CodepagePicker& State() const { return state_; }

    void accept() override;

private:
    std::unique_ptr<Ui::CodepageDialog> ui_;
    CodepagePicker state_;
};

}  // namespace zorvik
